#pragma once
// Ordered lists of full paths, and the list-file format they are kept in: one path per
// line, CR LF after every line; CR, LF or CR LF all end a line when reading.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

class FileSystem;

using PathList = std::vector<std::string>;

PathList ParsePathListText(std::string_view text);
std::string PathListText(const PathList& paths);
// Empty optional when the file cannot be read.
std::optional<PathList> ReadPathListFile(FileSystem& fs, std::string_view path);
bool WritePathListFile(FileSystem& fs, std::string_view path, const PathList& paths);
// Position of path in the list ignoring letter case, or npos.
size_t IndexOfPathIgnoringCase(const PathList& paths, std::string_view path);

}  // namespace lark
