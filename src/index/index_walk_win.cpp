#include "index/index_walk_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/text.h"
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

struct FolderId {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    bool known = false;
    bool operator==(const FolderId& o) const {
        return known && o.known && volume == o.volume && high == o.high && low == o.low;
    }
};

FolderId IdentityOf(const std::wstring& folder) {
    FolderId id;
    UniqueFile h(CreateFileW(LongForm(folder).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (h && GetFileInformationByHandle(h.Get(), &info)) {
        id.volume = info.dwVolumeSerialNumber;
        id.high = info.nFileIndexHigh;
        id.low = info.nFileIndexLow;
        id.known = true;
    }
    return id;
}

class Walker {
  public:
    Walker(IndexWriter& writer, std::string_view excludeText)
        : writer_(writer), exclude_(excludeText) {}

    // Only the subfolder lists of the folders on the current path are kept, so memory
    // follows the depth and width of the tree, never the number of files.
    void IndexFolder(std::wstring root) {
        Enter(std::move(root));
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
    struct Level {
        std::vector<std::wstring> subfolders;
        size_t next = 0;
        FolderId id;
    };

    void Enter(std::wstring folder) {
        std::string utf8 = Narrow(folder);
        if (IsExcludedFolder(utf8, exclude_)) return;
        // A folder reached again through a link the file system does not flag as one
        // would make the walk endless; its identity already on the path gives it away.
        FolderId id = IdentityOf(folder);
        for (const Level& level : path_)
            if (level.id == id) return;
        if (!writer_.WriteFolderLine(utf8)) return;

        Level level;
        level.id = id;
        WIN32_FIND_DATAW fd;
        std::wstring pattern = folder + L"\\*";
        UniqueFind find(FindFirstFileExW(LongForm(pattern).c_str(), FindExInfoBasic, &fd,
                                         FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
        if (find) {
            do {
                const wchar_t* name = fd.cFileName;
                if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
                    continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    // Junctions and folder links are not followed: they lead to folders
                    // indexed on their own or back up the tree.
                    if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
                    std::wstring sub;
                    sub.reserve(folder.size() + 1 + wcslen(name));
                    sub += folder;
                    sub += L'\\';
                    sub += name;
                    level.subfolders.push_back(std::move(sub));
                } else {
                    int bytes = WideCharToMultiByte(CP_UTF8, 0, name, int(wcslen(name)), nameBuf_,
                                                    int(sizeof nameBuf_), nullptr, nullptr);
                    if (!writer_.WriteLine(std::string_view(nameBuf_, size_t(bytes)))) return;
                    ++fileCount;
                }
            } while (FindNextFileW(find.Get(), &fd));
        }
        path_.push_back(std::move(level));
    }

    IndexWriter& writer_;
    std::string exclude_;
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
