#include "index/change_watcher_win.h"

#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

#include "index/change_filter.h"
#include "index/index_format.h"
#include "index/index_service_win.h"
#include "index/index_state.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

namespace {

// Names of created, deleted and renamed entries; writes to existing files are no change to
// the index.
constexpr DWORD kNameChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
// The largest buffer a change request on a network share accepts.
constexpr DWORD kChangeBufferBytes = 64 * 1024;

// One folder tree watched for name changes. Changes that happen while the last batch is
// being looked at are kept by the system for the next request, so none is missed.
class FolderWatch {
  public:
    FolderWatch(std::string folder, UniqueFile dir, UniqueKernelHandle done)
        : folder_(std::move(folder)), dir_(std::move(dir)), done_(std::move(done)) {}
    ~FolderWatch() {
        if (!pending_) return;
        // The request writes into this object until it has completed.
        CancelIoEx(dir_.Get(), &overlapped_);
        DWORD bytes = 0;
        GetOverlappedResult(dir_.Get(), &overlapped_, &bytes, TRUE);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Null when the folder cannot be watched (missing, no access).
    static std::unique_ptr<FolderWatch> Open(const std::string& folder) {
        std::string listable = ListablePath(folder);
        UniqueFile dir(CreateFileW(WidePath(listable).c_str(), FILE_LIST_DIRECTORY,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                                   nullptr));
        UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!dir || !done) return nullptr;
        auto watch =
            std::make_unique<FolderWatch>(std::move(listable), std::move(dir), std::move(done));
        if (!watch->Arm()) return nullptr;
        return watch;
    }

    HANDLE Done() const { return done_.Get(); }

    bool Arm() {
        overlapped_ = {};
        overlapped_.hEvent = done_.Get();
        pending_ = ReadDirectoryChangesW(dir_.Get(), buffer_.get(), kChangeBufferBytes, TRUE,
                                         kNameChanges, nullptr, &overlapped_, nullptr);
        return pending_;
    }

    // Calls each(full path) for every entry of the completed request. False when the
    // request failed (the folder went away) or more changed than the buffer held: what
    // changed is then not known.
    template <typename Each>
    bool Collect(Each&& each) {
        DWORD bytes = 0;
        const bool ok = GetOverlappedResult(dir_.Get(), &overlapped_, &bytes, FALSE);
        pending_ = false;
        if (!ok || bytes == 0) return false;
        const char* at = reinterpret_cast<const char*>(buffer_.get());
        for (;;) {
            auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
            each(PathInFolder(folder_, Narrow(std::wstring_view(
                                           info->FileName, info->FileNameLength / sizeof(WCHAR)))));
            if (info->NextEntryOffset == 0) return true;
            at += info->NextEntryOffset;
        }
    }

  private:
    std::string folder_;
    UniqueFile dir_;
    UniqueKernelHandle done_;
    OVERLAPPED overlapped_{};
    bool pending_ = false;
    // DWORD-aligned, as the change records must be.
    std::unique_ptr<DWORD[]> buffer_{new DWORD[kChangeBufferBytes / sizeof(DWORD)]};
};

// The position of a signalled handle, or SIZE_MAX when waiting failed. One wait takes at
// most 64 handles, so a longer list is split over helper threads that each wait on their
// share and a stop event.
size_t WaitForAny(const std::vector<HANDLE>& handles) {
    if (handles.size() <= MAXIMUM_WAIT_OBJECTS) {
        DWORD r = WaitForMultipleObjects(DWORD(handles.size()), handles.data(), FALSE, INFINITE);
        return r - WAIT_OBJECT_0 < handles.size() ? size_t(r - WAIT_OBJECT_0) : SIZE_MAX;
    }
    UniqueKernelHandle changed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueKernelHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!changed || !stop) return SIZE_MAX;
    std::atomic<size_t> which{SIZE_MAX};
    constexpr size_t kShare = MAXIMUM_WAIT_OBJECTS - 1;
    std::vector<std::thread> waiters;
    for (size_t first = 0; first < handles.size(); first += kShare) {
        std::vector<HANDLE> group{stop.Get()};
        for (size_t i = first; i < handles.size() && i < first + kShare; ++i)
            group.push_back(handles[i]);
        try {
            waiters.emplace_back([group, first, &which, changedEvent = changed.Get()] {
                DWORD r =
                    WaitForMultipleObjects(DWORD(group.size()), group.data(), FALSE, INFINITE);
                if (r == WAIT_OBJECT_0) return;  // stopped
                size_t none = SIZE_MAX;
                if (r - WAIT_OBJECT_0 < group.size())
                    which.compare_exchange_strong(none, first + (r - WAIT_OBJECT_0) - 1);
                SetEvent(changedEvent);
            });
        } catch (...) {
            SetEvent(changed.Get());  // watching less than asked for would miss changes
        }
    }
    WaitForSingleObject(changed.Get(), INFINITE);
    SetEvent(stop.Get());
    for (auto& t : waiters) t.join();
    return which.load();
}

bool WithinLaunchQuiet() {
    uint32_t last = LastLaunchTick.load();
    return last != 0 && GetTickCount() - last <= kLaunchQuietMs;
}

struct WatchJob {
    IndexService* service;
    std::shared_ptr<UiDispatch> ui;
    std::string includeText;
    std::string excludeText;
    int watchMode;
    ChangeFilter filter;
    std::vector<std::unique_ptr<FolderWatch>> watches;

    void WatchFolder(const std::string& folder) {
        if (auto watch = FolderWatch::Open(folder)) watches.push_back(std::move(watch));
    }

    // Waits for one batch of changes; true when it holds one that ends the watch.
    bool NextBatchEnds() {
        std::vector<HANDLE> events;
        for (const auto& w : watches) events.push_back(w->Done());
        const size_t at = WaitForAny(events);
        if (at >= watches.size()) return true;
        FolderWatch& watch = *watches[at];
        bool counts = false;
        if (!watch.Collect(
                [&](const std::string& path) { counts = counts || filter.Counts(path); }))
            counts = true;  // the folder itself went, or too much changed to tell
        if (watchMode == 1) {
            ui->Run([&] { service->RecentFolderChanged(); });
            counts = false;
        } else if (counts && WithinLaunchQuiet()) {
            counts = false;  // taken for the launched program's own files
        }
        if (!watch.Arm()) watches.erase(watches.begin() + std::ptrdiff_t(at));
        return counts || watches.empty();
    }
};

void RunWatch(WatchJob& job) {
    ExcludedFolders excluded(job.excludeText);
    ForEachFolderEntry(job.includeText, [&](const std::string& folder) {
        if (!excluded.Contains(folder)) job.WatchFolder(folder);
    });
    while (!job.watches.empty() && !job.NextBatchEnds())
        if (!job.ui->IsOpen()) return;  // nobody left to tell: the program is closing
    job.watches.clear();
    if (!job.ui->IsOpen()) return;
    job.ui->Run([&] { job.service->WatchFinished(job.watchMode); });
}

}  // namespace

void TCheckFileChanges::Start(IndexService& service, std::string includeText, int watchMode,
                              std::string excludeText, std::vector<std::string> ownFiles) {
    ChangeFilter filter(excludeText, std::move(ownFiles));
    auto job = std::make_unique<WatchJob>(WatchJob{&service,
                                                   service.Ui(),
                                                   std::move(includeText),
                                                   std::move(excludeText),
                                                   watchMode,
                                                   std::move(filter),
                                                   {}});
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
