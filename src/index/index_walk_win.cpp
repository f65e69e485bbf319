#include "index/index_walk_win.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"

namespace lark {

namespace {

// Paths at or past MAX_PATH only open in their long-path form.
std::wstring LongForm(const std::wstring& path) {
    if (path.size() < MAX_PATH - 1 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

class Walker {
  public:
    Walker(IndexWriter& writer, std::string_view excludeText)
        : writer_(writer), exclude_(excludeText) {}

    // Only the subfolder lists of the folders on the current path are kept, so memory
    // follows the depth and width of the tree, never the number of files.
    void IndexFolder(std::wstring root) {
        Enter(Subfolder{std::move(root), 0});
        while (!path_.empty() && !writer_.Failed()) {
            Level& top = path_.back();
            if (top.next == top.subfolders.size()) {
                path_.pop_back();
                continue;
            }
            Enter(std::move(top.subfolders[top.next++]));
        }
        path_.clear();
    }

    int64_t fileCount = 0;

  private:
    struct Subfolder {
        std::wstring path;
        uint64_t id = 0;  // the file system's identity of the folder; 0 = not known
    };
    struct Level {
        std::vector<Subfolder> subfolders;
        size_t next = 0;
        uint64_t id = 0;
    };

    void Enter(Subfolder folder) {
        std::string utf8 = Narrow(folder.path);
        if (exclude_.Contains(utf8)) return;
        // A folder reached again through a link the file system does not flag as one
        // would make the walk endless; its identity already on the path gives it away.
        if (folder.id != 0)
            for (const Level& level : path_)
                if (level.id == folder.id) return;
        if (!writer_.WriteFolderLine(utf8)) return;
        Level level;
        level.id = folder.id;
        // An include of a whole drive is held as "C:", which alone would name the current
        // folder on C:.
        std::wstring listable = folder.path;
        if (listable.size() == 2 && listable[1] == L':') listable += L'\\';
        if (!ListWithIds(folder.path, listable, level)) ListPlain(folder.path, level);
        path_.push_back(std::move(level));
    }

    void Entry(const std::wstring& folder, const wchar_t* name, size_t length, DWORD attributes,
               DWORD reparseTag, uint64_t id, Level& level) {
        if (name[0] == L'.' && (length == 1 || (length == 2 && name[1] == L'.'))) {
            if (length == 1 && level.id == 0) level.id = id;  // an include's own identity
            return;
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!FollowsFolder(attributes, reparseTag)) return;
            Subfolder sub;
            sub.path.reserve(folder.size() + 1 + length);
            sub.path += folder;
            sub.path += L'\\';
            sub.path.append(name, length);
            sub.id = id;
            level.subfolders.push_back(std::move(sub));
            return;
        }
        int bytes = WideCharToMultiByte(CP_UTF8, 0, name, int(length), nameBuf_,
                                        int(sizeof nameBuf_), nullptr, nullptr);
        if (writer_.WriteLine(std::string_view(nameBuf_, size_t(bytes > 0 ? bytes : 0))))
            ++fileCount;
    }

    // Lists through a handle of the folder, which reports each entry's identity with the
    // listing at no extra cost. False when the file system cannot list this way.
    bool ListWithIds(const std::wstring& folder, const std::wstring& listable, Level& level) {
        UniqueFile dir(CreateFileW(LongForm(listable).c_str(), FILE_LIST_DIRECTORY,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!dir) return true;  // cannot be listed at all: the folder line stays alone
        auto kind = FileIdBothDirectoryRestartInfo;
        while (GetFileInformationByHandleEx(dir.Get(), kind, listBuf_.get(), kListBufSize)) {
            kind = FileIdBothDirectoryInfo;
            const char* at = listBuf_.get();
            for (;;) {
                auto* e = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
                // A reparse point's entry carries its tag where extended attributes' size
                // would be.
                Entry(folder, e->FileName, e->FileNameLength / sizeof(wchar_t), e->FileAttributes,
                      e->EaSize, uint64_t(e->FileId.QuadPart), level);
                if (writer_.Failed()) return true;
                if (e->NextEntryOffset == 0) break;
                at += e->NextEntryOffset;
            }
        }
        DWORD error = GetLastError();
        return kind == FileIdBothDirectoryInfo || error == ERROR_NO_MORE_FILES ||
               error == ERROR_FILE_NOT_FOUND;
    }

    void ListPlain(const std::wstring& folder, Level& level) {
        WIN32_FIND_DATAW fd;
        std::wstring pattern = folder + L"\\*";
        UniqueFind find(FindFirstFileExW(LongForm(pattern).c_str(), FindExInfoBasic, &fd,
                                         FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
        if (!find) return;
        do {
            Entry(folder, fd.cFileName, wcslen(fd.cFileName), fd.dwFileAttributes, fd.dwReserved0,
                  0, level);
            if (writer_.Failed()) return;
        } while (FindNextFileW(find.Get(), &fd));
    }

    static constexpr DWORD kListBufSize = 64 * 1024;
    std::unique_ptr<char[]> listBuf_{new char[kListBufSize]};
    IndexWriter& writer_;
    ExcludedFolders exclude_;
    std::vector<Level> path_;
    char nameBuf_[4 * MAX_PATH];
};

}  // namespace

WalkResult WriteIndex(IndexWriter& writer, std::string_view includeText,
                      std::string_view excludeText) {
    WalkResult result;
    if (!includeText.empty()) {
        writer.WriteLine(IndexHeaderLine(includeText, excludeText));
        Walker walker(writer, excludeText);
        ForEachFolderEntry(includeText, [&](const std::string& entry) {
            if (!writer.Failed()) walker.IndexFolder(Widen(entry));
        });
        result.fileCount = walker.fileCount;
    }
    writer.Flush();
    result.writeFailed = writer.Failed();
    return result;
}

}  // namespace lark
