#include "index/index_service_win.h"

#include <windows.h>

#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "index/change_filter.h"
#include "index/change_watcher_win.h"
#include "index/index_builder_win.h"
#include "index/index_events.h"
#include "index/index_format.h"
#include "index/index_state.h"
#include "index/refresh_controller.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

std::string LocalDateTimeText() {
    wchar_t date[128] = L"";
    wchar_t time[128] = L"";
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, time, 128);
    return Narrow(date) + " " + Narrow(time);
}

namespace {

// Appends with readers allowed and writers kept out, as the index itself is written.
void AppendLogLine(const std::string& path, const std::string& line) {
    UniqueFile log(CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) return;
    DWORD written = 0;
    WriteFile(log.Get(), line.data(), DWORD(line.size()), &written, nullptr);
}

}  // namespace

std::shared_ptr<const std::atomic<bool>> IndexService::StartIndexBuild() {
    // Without a settings file there is no domain to index; the old index stays as it is.
    const TSearchSet* domain = ctx_.settings.CurrentSearchSet;
    if (!domain) return nullptr;
    return TBuildPathList::Start(*this, domain->IncludePaths, IndexFilePath(ctx_),
                                 domain->ExcludePaths);
}

void IndexService::StartChangeWatch(std::string includeText, int watchMode,
                                    std::string excludeText) {
    if (watchMode == 0) refresh_.RefreshPending = false;
    TCheckFileChanges::Start(*this, std::move(includeText), watchMode, std::move(excludeText),
                             watchMode == 0 ? ProgramDataFiles(ctx_) : std::vector<std::string>());
}

uint64_t IndexService::BuildStarting() {
    // Numbered first: a finishing step that arrives while the window shows the new state
    // already belongs to an older build.
    const uint64_t build = ++lastBuild_;
    IndexReady = false;
    events_.IndexBuildStarting();
    return build;
}

void IndexService::BuildOpenFailed(const std::string& includeText, const std::string& excludeText) {
    if (!ctx_.settings.RefreshFixedSchedule) StartChangeWatch(includeText, 0, excludeText);
}

void IndexService::BuildFinished(uint64_t build, int64_t fileCount, uint32_t elapsedMs,
                                 const std::string& includeText, const std::string& excludeText) {
    const bool latest = build == lastBuild_;
    if (latest) {
        IndexReady = true;
        events_.IndexBuildFinished(fileCount);
    }
    AppendLogLine(IndexLogPath(ctx_), BuildLogLine(ctx_.userName, LocalDateTimeText(), elapsedMs));
    if (latest && !ctx_.settings.RefreshFixedSchedule)
        StartChangeWatch(includeText, 0, excludeText);
}

void IndexService::WatchFinished(int watchMode) {
    refresh_.ChangeWatchFinished(watchMode);
    events_.ChangeWatchFinished(watchMode);
}

void IndexService::RecentFolderChanged() {
    events_.ImportRecentShortcuts();
}

}  // namespace lark
