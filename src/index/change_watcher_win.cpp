#include "index/change_watcher_win.h"

#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

#include "index/index_format.h"
#include "index/index_service_win.h"
#include "index/index_state.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

namespace {


struct WatchJob {
    IndexService* service;
    std::shared_ptr<UiDispatch> ui;
    std::string includeText;
    std::string excludeText;
    int watchMode;
    std::vector<UniqueChangeHandle> handles;

    void WatchFolder(const std::string& folder) {
        if (IsExcludedFolder(folder, excludeText)) return;
        HANDLE h = FindFirstChangeNotificationW(
            WidePath(folder).c_str(), TRUE,
            FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
        if (h != INVALID_HANDLE_VALUE) handles.emplace_back(h);
    }
};

// Waits until any of the handles is signalled. One wait takes at most 64 handles, so a
// longer list is split over helper threads that each wait on their share and a stop event.
void WaitForAnyChange(const std::vector<UniqueChangeHandle>& handles) {
    std::vector<HANDLE> raw;
    for (const auto& h : handles) raw.push_back(h.Get());
    if (raw.size() <= MAXIMUM_WAIT_OBJECTS) {
        WaitForMultipleObjects(DWORD(raw.size()), raw.data(), FALSE, INFINITE);
        return;
    }
    UniqueKernelHandle changed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueKernelHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!changed || !stop) return;
    constexpr size_t kShare = MAXIMUM_WAIT_OBJECTS - 1;
    std::vector<std::thread> waiters;
    for (size_t first = 0; first < raw.size(); first += kShare) {
        std::vector<HANDLE> group{stop.Get()};
        for (size_t i = first; i < raw.size() && i < first + kShare; ++i) group.push_back(raw[i]);
        try {
            waiters.emplace_back([group, changedEvent = changed.Get()] {
                DWORD r =
                    WaitForMultipleObjects(DWORD(group.size()), group.data(), FALSE, INFINITE);
                if (r != WAIT_OBJECT_0) SetEvent(changedEvent);
            });
        } catch (...) {
            SetEvent(changed.Get());  // watching less than asked for would miss changes
        }
    }
    WaitForSingleObject(changed.Get(), INFINITE);
    SetEvent(stop.Get());
    for (auto& t : waiters) t.join();
}

bool WithinLaunchQuiet() {
    uint32_t last = LastLaunchTick.load();
    return last != 0 && GetTickCount() - last <= kLaunchQuietMs;
}

void RunWatch(WatchJob& job) {
    if (!job.includeText.empty()) {
        for (;;) {
            job.handles.clear();
            ForEachFolderEntry(job.includeText,
                               [&](const std::string& folder) { job.WatchFolder(folder); });
            if (job.handles.empty()) break;
            WaitForAnyChange(job.handles);
            job.handles.clear();
            // Nobody left to tell: the program is closing.
            if (!job.ui->IsOpen()) return;
            if (job.watchMode == 1) {
                job.ui->Run([&] { job.service->RecentFolderChanged(); });
                continue;
            }
            if (!WithinLaunchQuiet()) break;
        }
    }
    job.ui->Run([&] { job.service->WatchFinished(job.watchMode); });
}

}  // namespace

void TCheckFileChanges::Start(IndexService& service, std::string includeText, int watchMode,
                              std::string excludeText) {
    auto job = std::make_unique<WatchJob>();
    job->service = &service;
    job->ui = service.Ui();
    job->includeText = std::move(includeText);
    job->excludeText = std::move(excludeText);
    job->watchMode = watchMode;
    try {
        std::thread([job = std::move(job)]() mutable {
            try {
                RunWatch(*job);
            } catch (...) {
            }
        }).detach();
    } catch (...) {
    }
}

}  // namespace lark
