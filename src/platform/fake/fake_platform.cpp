#include "platform/fake/fake_platform.h"

#include <vector>

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
    // A ":" inside a name makes a path its own folder; stop there rather than recurse.
    if (parent.size() > 2 && parent.size() < p.size()) AddFolder(parent);
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
    if (it == entries_.end() || !ParentExists(to)) return false;
    // A change of letter case alone renames the entry in place.
    if (entries_.count(Key(to)) && Key(to) != Key(from)) return false;
    // A folder takes everything inside it along.
    const std::string oldKey = Key(from);
    const std::string oldPrefix = oldKey + "\\";
    const size_t oldLength = TrimTrailingBackslash(it->second.path).size();
    const std::string newPath = TrimTrailingBackslash(to);
    std::vector<Entry> moved;
    for (auto at = entries_.begin(); at != entries_.end();) {
        if (at->first == oldKey || at->first.compare(0, oldPrefix.size(), oldPrefix) == 0) {
            Entry e = std::move(at->second);
            e.path = newPath + e.path.substr(oldLength);
            moved.push_back(std::move(e));
            at = entries_.erase(at);
        } else {
            ++at;
        }
    }
    for (Entry& e : moved) {
        std::string key = Key(e.path);
        entries_[key] = std::move(e);
    }
    return true;
}

bool FakeFileSystem::Copy(std::string_view from, std::string_view to) {
    auto it = entries_.find(Key(from));
    if (it == entries_.end() || (it->second.attributes & kAttrDirectory)) return false;
    if (unreadablePaths.count(Key(from)) || readOnlyPaths.count(Key(to)) || !ParentExists(to))
        return false;
    auto existing = entries_.find(Key(to));
    if (existing != entries_.end() &&
        (existing->second.attributes & (kAttrDirectory | kAttrReadOnly)))
        return false;
    Entry copy = it->second;
    copy.path = std::string(to);
    entries_[Key(to)] = std::move(copy);
    return true;
}

bool FakeFileSystem::SetAttributes(std::string_view path, uint32_t attributes) {
    auto it = entries_.find(Key(path));
    if (it == entries_.end() || readOnlyPaths.count(Key(path))) return false;
    it->second.attributes = (it->second.attributes & kAttrDirectory) | attributes;
    return true;
}

bool FakeFileSystem::SetTimes(std::string_view path, int64_t utcTicks) {
    auto it = entries_.find(Key(path));
    if (it == entries_.end() || readOnlyPaths.count(Key(path)) ||
        (it->second.attributes & kAttrReadOnly))
        return false;
    it->second.creationTime = it->second.accessTime = it->second.writeTimeLocal = utcTicks;
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
