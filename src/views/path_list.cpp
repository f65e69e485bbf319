#include "views/path_list.h"

#include "app/file_helpers.h"
#include "app/text.h"
#include "platform/file_system.h"

namespace lark {

PathList ParsePathListText(std::string_view text) {
    PathList paths;
    SplitLines(text, [&](std::string_view line) { paths.emplace_back(line); });
    return paths;
}

std::string PathListText(const PathList& paths) {
    std::string text;
    size_t size = 0;
    for (const auto& p : paths) size += p.size() + 2;
    text.reserve(size);
    for (const auto& p : paths) {
        text += p;
        text += "\r\n";
    }
    return text;
}

std::optional<PathList> ReadPathListFile(FileSystem& fs, std::string_view path) {
    auto text = fs.ReadWhole(path);
    if (!text) return std::nullopt;
    return ParsePathListText(*text);
}

bool WritePathListFile(FileSystem& fs, std::string_view path, const PathList& paths) {
    return fs.WriteWhole(path, PathListText(paths));
}

size_t IndexOfPathIgnoringCase(const PathList& paths, std::string_view path) {
    for (size_t i = 0; i < paths.size(); ++i)
        if (SameTextIgnoringCase(paths[i], path)) return i;
    return std::string::npos;
}

}  // namespace lark
