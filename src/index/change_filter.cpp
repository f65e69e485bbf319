#include "index/change_filter.h"

#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "platform/file_system.h"

namespace lark {

ChangeFilter::ChangeFilter(std::string_view excludeText, std::vector<std::string> ownFiles)
    : excluded_(excludeText), ownFiles_(std::move(ownFiles)) {}

bool ChangeFilter::Counts(std::string_view path) const {
    for (const std::string& own : ownFiles_) {
        if (SameTextIgnoringCase(path, own)) return false;
        if (path.size() == own.size() + kWholeWriteTempSuffix.size() &&
            StartsWithIgnoringCase(path, own) && EndsWithIgnoringCase(path, kWholeWriteTempSuffix))
            return false;
    }
    return !excluded_.Covers(path);
}

std::vector<std::string> ProgramDataFiles(AppContext& ctx) {
    return {IndexFilePath(ctx),  IndexLogPath(ctx),     MyRecentFilesPath(ctx),
            LastSearchPath(ctx), LastCriteriaFile(ctx), KeywordHistoryFile(ctx),
            ReplaceLogPath(ctx), UseLastSearchFile(ctx)};
}

}  // namespace lark
