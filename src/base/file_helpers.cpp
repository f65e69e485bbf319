#include "base/file_helpers.h"

#include <vector>

#include "base/text.h"
#include "base/wildcard.h"
#include "platform/file_system.h"

namespace lark {

bool ForceFolders(FileSystem& fs, std::string_view path) {
    // The walk starts below the root: "C:\" for a drive path; "\\server\share" for a
    // network path, whose share can be neither created nor always asked about (the same
    // holds for the "\\?\C:" long-path form).
    size_t at = path.find('\\', 3);
    if (path.substr(0, 2) == "\\\\") {
        at = path.find('\\', 2);
        if (at != std::string_view::npos) at = path.find('\\', at + 1);
        if (at != std::string_view::npos) at = path.find('\\', at + 1);
    }
    for (; at != std::string_view::npos; at = path.find('\\', at + 1)) {
        std::string_view folder = path.substr(0, at);
        if (folder.back() == '\\') continue;  // "a\\b": no name between the two
        if (fs.IsFolder(folder)) continue;
        if (!fs.CreateFolder(folder)) return false;
    }
    return true;
}

bool EnsureFileExists(FileSystem& fs, std::string_view path) {
    if (fs.IsFile(path)) return true;
    ForceFolders(fs, path);
    // Appending nothing creates the file without truncating one made meanwhile.
    return fs.Append(path, {}) && fs.IsFile(path);
}

uint64_t FileSizeOf(FileSystem& fs, std::string_view path) {
    auto info = fs.Stat(path);
    return info && !info->IsFolder() ? info->size : 0;
}

namespace {

// The listing is read whole when it starts: a caller that deletes or creates entries
// between two calls then neither misses nor repeats any of the original ones.
struct FolderListing {
    std::vector<std::string> names;
    size_t next = 0;
    bool open = false;
};

FolderListing& Listing() {
    static FolderListing listing;
    return listing;
}

}  // namespace

std::string NextFolderEntry(FileSystem& fs, std::string_view pattern) {
    FolderListing& listing = Listing();
    if (!pattern.empty()) {
        listing = FolderListing();
        const std::string folder = FolderOfPath(pattern);
        const std::string_view mask = FileNameOf(pattern);
        listing.open = fs.List(folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder,
                               [&](const FileInfo& info) {
                                   if (FileMaskMatch(info.name, mask))
                                       listing.names.push_back(info.name);
                               });
    }
    if (listing.open && listing.next < listing.names.size()) return listing.names[listing.next++];
    listing = FolderListing();
    return std::string();
}

}  // namespace lark
