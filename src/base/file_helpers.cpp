#include "base/file_helpers.h"

#include <vector>

#include "base/text.h"
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

// Where the UTF-8 character starting at i ends.
size_t NextChar(std::string_view text, size_t i) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    return i;
}

// A name mask as the Windows find functions read it: "*" and "?" (one character) only,
// letter case ignored, and "*.*" taking names without a dot as well.
bool MaskMatch(std::string_view name, std::string_view mask) {
    if (mask == "*.*") return true;
    size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n = NextChar(name, n);
        } else if (m < mask.size() && AsciiLower(mask[m]) == AsciiLower(name[n])) {
            ++m;
            ++n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = starN = NextChar(name, starN);
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

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
                                   if (MaskMatch(info.name, mask))
                                       listing.names.push_back(info.name);
                               });
    }
    if (listing.open && listing.next < listing.names.size()) return listing.names[listing.next++];
    listing = FolderListing();
    return std::string();
}

}  // namespace lark
