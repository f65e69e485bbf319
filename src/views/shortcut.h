#pragma once
#include <string>
#include <string_view>

namespace lark {

class FileSystem;

// The target path of a shell shortcut, found by scanning its bytes for a run of plain
// name characters that ends in "\" + the shortcut's own name without ".lnk". Empty when
// the file cannot be read or holds no such run.
std::string ReadShortcutTarget(FileSystem& fs, std::string_view shortcutPath);

}  // namespace lark
