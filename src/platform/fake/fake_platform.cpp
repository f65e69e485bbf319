#include "platform/fake/fake_platform.h"

#include "base/text.h"

namespace lark {

std::string FakeFileSystem::Key(std::string_view path) {
    std::string key = UpperCase(path);
    while (key.size() > 3 && key.back() == '\\') key.pop_back();
    return key;
}

bool FakeFileSystem::ParentExists(std::string_view path) const {
    std::string key = Key(path);
    size_t at = key.find_last_of('\\');
    if (at == std::string::npos) return false;
    std::string parent = key.substr(0, at);
    if (parent.size() == 2 && parent[1] == ':') return true;  // drive root
    auto it = entries_.find(parent);
    return it != entries_.end() && (it->second.attributes & kAttrDirectory);
}

FakeFileSystem::Entry& FakeFileSystem::AddFile(std::string_view path, std::string_view data) {
    std::string folder = FolderOfPath(path);
    if (folder.size() > 2) AddFolder(folder);
    Entry& e = entries_[Key(path)];
    e.path = std::string(path);
    e.data = std::string(data);
    e.attributes = kAttrArchive;
    return e;
}

void FakeFileSystem::AddFolder(std::string_view path) {
    std::string p = TrimTrailingBackslash(path);
    if (p.size() <= 2) return;
    std::string parent = FolderOfPath(p);
    if (parent.size() > 2) AddFolder(parent);
    Entry& e = entries_[Key(p)];
    e.path = p;
    e.attributes = kAttrDirectory;
}

const FakeFileSystem::Entry* FakeFileSystem::Find(std::string_view path) const {
    auto it = entries_.find(Key(path));
    return it == entries_.end() ? nullptr : &it->second;
}

std::optional<FileInfo> FakeFileSystem::Stat(std::string_view path) {
    std::string key = Key(path);
    if (key.size() == 3 && key[1] == ':') {
        FileInfo root;
        root.attributes = kAttrDirectory;
        return root;
    }
    auto it = entries_.find(key);
    if (it == entries_.end()) return std::nullopt;
    FileInfo info;
    info.name = std::string(FileNameOf(it->second.path));
    info.attributes = it->second.attributes;
    info.size = it->second.data.size();
    info.writeTimeLocal = it->second.writeTimeLocal;
    info.writeTimeUtc = it->second.writeTimeLocal;
    return info;
}

bool FakeFileSystem::List(std::string_view folder,
                          const std::function<void(const FileInfo&)>& each) {
    std::string key = Key(folder);
    if (!(key.size() == 2 || (key.size() == 3 && key[1] == ':'))) {
        auto it = entries_.find(key);
        if (it == entries_.end() || !(it->second.attributes & kAttrDirectory)) return false;
    }
    std::string prefix = TrimTrailingBackslash(key) + "\\";
    for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        if (it->first.find('\\', prefix.size()) != std::string::npos) continue;
        auto info = Stat(it->second.path);
        if (info) each(*info);
    }
    return true;
}

std::optional<std::string> FakeFileSystem::ReadWhole(std::string_view path) {
    if (unreadablePaths.count(Key(path))) return std::nullopt;
    auto it = entries_.find(Key(path));
    if (it == entries_.end() || (it->second.attributes & kAttrDirectory)) return std::nullopt;
    return it->second.data;
}

bool FakeFileSystem::CanReadWhole(std::string_view path) {
    if (unreadablePaths.count(Key(path))) return false;
    auto it = entries_.find(Key(path));
    return it != entries_.end() && !(it->second.attributes & kAttrDirectory);
}

bool FakeFileSystem::WriteWhole(std::string_view path, std::string_view data) {
    if (readOnlyPaths.count(Key(path)) || !ParentExists(path)) return false;
    auto it = entries_.find(Key(path));
    if (it != entries_.end() && (it->second.attributes & kAttrDirectory)) return false;
    Entry& e = entries_[Key(path)];
    if (e.path.empty()) e.path = std::string(path);
    e.data = std::string(data);
    return true;
}

bool FakeFileSystem::Append(std::string_view path, std::string_view data) {
    if (readOnlyPaths.count(Key(path)) || !ParentExists(path)) return false;
    Entry& e = entries_[Key(path)];
    if (e.path.empty()) e.path = std::string(path);
    e.data.append(data);
    return true;
}

bool FakeFileSystem::CreateFolder(std::string_view path) {
    if (readOnlyPaths.count(Key(path))) return false;
    auto existing = Stat(path);
    if (existing) return existing->IsFolder();
    if (!ParentExists(path)) return false;
    Entry& e = entries_[Key(path)];
    e.path = TrimTrailingBackslash(path);
    e.attributes = kAttrDirectory;
    return true;
}

bool FakeFileSystem::RemoveFile(std::string_view path) {
    auto it = entries_.find(Key(path));
    if (it == entries_.end() || (it->second.attributes & kAttrDirectory)) return false;
    entries_.erase(it);
    return true;
}

bool FakeFileSystem::Rename(std::string_view from, std::string_view to) {
    auto it = entries_.find(Key(from));
    if (it == entries_.end() || entries_.count(Key(to)) || !ParentExists(to)) return false;
    Entry e = it->second;
    entries_.erase(it);
    e.path = std::string(to);
    entries_[Key(to)] = e;
    return true;
}

std::string FakeRegistry::Id(RegistryRoot root, std::string_view key, std::string_view name) {
    return std::to_string(int(root)) + "|" + UpperCase(key) + "|" + UpperCase(name);
}

std::optional<std::string> FakeRegistry::Read(RegistryRoot root, std::string_view key,
                                              std::string_view name) {
    auto it = values.find(Id(root, key, name));
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool FakeRegistry::Write(RegistryRoot root, std::string_view key, std::string_view name,
                         std::string_view value) {
    if (failWrites) return false;
    ++writes;
    values[Id(root, key, name)] = std::string(value);
    return true;
}

}  // namespace lark
