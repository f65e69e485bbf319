#pragma once
// An index service on real folders, driven by the test's own thread as the
// user-interface thread.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "index/index_events.h"
#include "index/index_service_win.h"
#include "index/index_state.h"
#include "index/refresh_controller.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/win32_platform.h"
#include "support/win_tree_helpers.h"
#include "ui/ui_dispatch_win.h"

namespace lark {

class IndexHarness final : public IndexEvents, public RefreshHost {
  public:
    explicit IndexHarness(const std::string& dataLocation, bool fixedSchedule = true) {
        settings.DataLocation = dataLocation;
        settings.RefreshFixedSchedule = fixedSchedule;
    }
    ~IndexHarness() override { ui->Close(); }

    void SetDomain(const std::string& include, const std::string& exclude) {
        settings.SearchSets.clear();
        settings.SearchSets.push_back(std::make_unique<TSearchSet>());
        domain = settings.SearchSets.back().get();
        domain->Name = "<Default>";
        domain->IncludePaths = include;
        domain->ExcludePaths = exclude;
        settings.CurrentSearchSet = domain;
    }
    std::string IndexPath() { return IndexFilePath(ctx); }

    // Builds and waits for the builder thread to end; the index text, or "<none>" when
    // nothing was started.
    std::string Build(const std::string& include, const std::string& exclude,
                      DWORD limitMs = 60000) {
        SetDomain(include, exclude);
        auto ended = service.StartIndexBuild();
        if (!ended) return "<none>";
        wintree::PumpUntil([&] { return ended->load(); }, limitMs);
        return wintree::ReadAll(IndexPath());
    }

    // Plays the message loop: messages, then the idle check, until done() or time is up.
    bool RunLoop(const std::function<bool()>& done, DWORD limitMs) {
        return wintree::PumpUntil(
            [&] {
                refresh.IdleRefreshCheck();
                return done();
            },
            limitMs);
    }

    // IndexEvents
    void IndexBuildStarting() override {
        ++starting;
        auto once = std::move(onStarting);  // the callback may set the next one
        onStarting = nullptr;
        if (once) once();
    }
    void IndexBuildFinished(int64_t fileCount) override { finishedCounts.push_back(fileCount); }
    void ChangeWatchFinished(int watchMode) override { watchEnds.push_back(watchMode); }
    void ImportRecentShortcuts() override { ++imports; }

    // RefreshHost
    std::shared_ptr<const std::atomic<bool>> StartIndexBuild() override {
        return service.StartIndexBuild();
    }
    void SetRefreshTimer(uint32_t intervalMs) override { timer = intervalMs; }
    void PumpUntil(const std::function<bool()>& done, uint32_t limitMs, bool) override {
        wintree::PumpUntil(done, limitMs == kNoTimeLimit ? 120000 : limitMs);
    }

    Win32FileSystem fs;
    FakeRegistry registry;
    // The real tick count: launches and the watcher's quiet time are measured on it.
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,   clock,       messages, settings, "C:\\Larkspire.exe",
                   "tester", "C:\\Temp", "C:\\Recent"};
    TSearchSet* domain = nullptr;
    RefreshController refresh{ctx, *this};
    std::shared_ptr<UiDispatch> ui = UiDispatch::Create();
    IndexService service{ctx, *this, refresh, ui};

    int starting = 0;
    std::function<void()> onStarting;
    std::vector<int64_t> finishedCounts;
    std::vector<int> watchEnds;
    int imports = 0;
    uint32_t timer = 0;
};

}  // namespace lark
