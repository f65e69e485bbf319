#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

class FileSystem;

// Creates every missing folder on path up to, not including, its last component.
bool ForceFolders(FileSystem& fs, std::string_view path);
// True when the file exists or could be created empty (with its folders).
bool EnsureFileExists(FileSystem& fs, std::string_view path);
// Size in bytes; 0 when the file cannot be read.
uint64_t FileSizeOf(FileSystem& fs, std::string_view path);
// A non-empty pattern ("C:\folder\*.*") starts a new listing; an empty one continues it.
// Returns the next entry name, or empty when the listing is exhausted. One listing per
// process, main thread only.
std::string NextFolderEntry(FileSystem& fs, std::string_view pattern);
// Splits text into lines; CR, LF and CR LF all end a line; no empty last line for a
// final line end.
void SplitLines(std::string_view text, const auto& each) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            each(text.substr(start));
            return;
        }
        each(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

}  // namespace lark
