#include "views/shortcut.h"

#include "base/text.h"
#include "platform/file_system.h"

namespace lark {

std::string ReadShortcutTarget(FileSystem& fs, std::string_view shortcutPath) {
    std::string_view fileName = FileNameOf(shortcutPath);
    std::string tail(1, '\\');
    tail.append(fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0));
    auto bytes = fs.ReadWhole(shortcutPath);
    if (!bytes) return std::string();
    std::string run;
    // The end of the file closes the last run like any other byte would, so a trailing
    // run that does not name the file is never taken for the target.
    for (size_t i = 0; i <= bytes->size(); ++i) {
        if (i < bytes->size() && IsPlainNameChar(static_cast<unsigned char>((*bytes)[i]))) {
            run += (*bytes)[i];
            continue;
        }
        if (run.empty()) continue;
        run = Trim(run);
        if (run.size() >= tail.size() &&
            run.compare(run.size() - tail.size(), tail.size(), tail) == 0)
            return run;
        run.clear();
    }
    return std::string();
}

}  // namespace lark
