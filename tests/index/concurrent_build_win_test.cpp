// A search and a Refresh that come while the builder writes the index: the search is refused
// with the standard file error, the Refresh starts nothing, and the running build ends with the
// whole index. A search and replace run meets a build both ways round.
#pragma GCC diagnostic ignored "-Wrestrict"  // GCC bug 105651, as in the search tests

#include <gtest/gtest.h>

#include <algorithm>

#include "index/index_harness_win.h"
#include "platform/win32/encoding_win.h"
#include "replace/replace_files_win.h"
#include "replace/replace_run.h"
#include "search/criteria.h"
#include "search/index_search.h"

namespace lark {
namespace {

struct NoSearchHost final : SearchHost {
    void RefreshIndex() override { ++refreshes; }
    void ShowProgressStrip(int32_t, std::string_view) override { ++shown; }
    void AdvanceProgress(int32_t) override {}
    void HideProgress() override {}
    int refreshes = 0, shown = 0;
};

TEST(ConcurrentBuild, ASearchIsRefusedAndARefreshLeavesTheRunningBuildAlone) {
    wintree::TempTree tree("concurrent"), data("concurrentdata");
    for (int folder = 0; folder < 20; ++folder)
        for (int file = 0; file < 50; ++file)
            tree.File("d" + std::to_string(folder) + "\\f" + std::to_string(file) + ".txt");
    IndexHarness h(data.Root());
    const std::string indexPath = h.IndexPath();
    const std::string before = h.Build(tree.Root() + ";", "");
    ASSERT_EQ(h.finishedCounts, std::vector<int64_t>{1000});

    std::string searchError;
    SearchResults results{"from the last search"};
    NoSearchHost searchHost;
    int startsDuringBuild = -1;
    h.onStarting = [&] {
        // The builder holds the index open for writing from here to its last step.
        SearchCriteria c;
        c.Keywords = "f1";
        try {
            SearchIndexFile(h.fs, h.clock, c, indexPath, searchHost, results);
        } catch (const FileError& e) {
            searchError = e.what();
        }
        h.refresh.puRefreshClick();
        startsDuringBuild = h.starting;
    };
    const std::string after = h.Build(tree.Root() + ";", "");
    EXPECT_EQ(searchError, "Cannot open file " + indexPath);
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(searchHost.shown, 0);
    EXPECT_EQ(searchHost.refreshes, 0);
    // The Refresh found the file held: no second build started, nothing finished early.
    EXPECT_EQ(startsDuringBuild, 2);
    EXPECT_EQ(h.starting, 2);
    EXPECT_EQ(h.finishedCounts, (std::vector<int64_t>{1000, 1000}));
    EXPECT_EQ(after, before);

    // Once the build has ended, the same search reads the index.
    SearchCriteria c;
    c.Keywords = "f49";
    SearchIndexFile(h.fs, h.clock, c, indexPath, searchHost, results);
    EXPECT_EQ(results.size(), 20u);
}

// A run's windows as the main window gives them: the found files come from the index file.
struct IndexedReplaceHost final : ReplaceHost {
    IndexedReplaceHost(IndexHarness& h, SearchCriteria& c) : h(h), criteria(c) {}
    void ShowActivityWindow() override {}
    void ClearStatus() override {}
    void AddStatusLine(std::string_view line) override { lines.emplace_back(line); }
    bool ProcessMessages() override {
        if (onPump) onPump();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return true;
    }
    void SearchIndex() override {
        SearchIndexFile(h.fs, h.clock, criteria, h.IndexPath(), searchHost, results);
        found.clear();
        for (size_t i = 0; i < results.size(); ++i) found.push_back(results.Path(i));
    }
    std::vector<std::string> FoundFiles() override { return found; }
    void SetFoundFiles(std::vector<std::string> paths) override { found = std::move(paths); }
    void ShowProgressStrip(int32_t, std::string_view) override {}
    void AdvanceProgress(int32_t) override {}
    void HideProgress() override {}

    IndexHarness& h;
    SearchCriteria& criteria;
    NoSearchHost searchHost;
    SearchResults results{"replace run"};
    std::vector<std::string> found, lines;
    std::function<void()> onPump;
};

TEST(ConcurrentBuild, AReplaceRunAndABuildMeetEitherWayRound) {
    wintree::TempTree tree("concurrentreplace"), data("concurrentreplacedata");
    for (int file = 0; file < 40; ++file)
        tree.File("docs\\note" + std::to_string(file) + ".txt", "the cat sat\r\n");
    IndexHarness h(data.Root());
    h.Build(tree.Root() + ";", "");
    ASSERT_EQ(h.finishedCounts, std::vector<int64_t>{40});
    SearchCriteria c;
    c.Keywords = "note";
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    c.Logfile = data.Root() + "\\replace.log";
    IndexedReplaceHost host(h, c);
    Win32ReplaceFiles files;

    // A run started while a build holds the index: its search is refused with the file error,
    // no file is touched and the log is closed again.
    std::string runError;
    h.onStarting = [&] {
        ReplaceRun run(h.ctx, c, host, files);
        try {
            run.RunSearchReplace(false);
        } catch (const FileError& e) {
            runError = e.what();
        }
    };
    h.Build(tree.Root() + ";", "");
    EXPECT_EQ(runError, "Cannot open file " + h.IndexPath());
    EXPECT_EQ(wintree::ReadAll(tree.Path("docs\\note7.txt")), "the cat sat\r\n");
    EXPECT_TRUE(DeleteFileW(Widen(c.Logfile).c_str())) << "the log is still open";
    EXPECT_EQ(h.finishedCounts, (std::vector<int64_t>{40, 40}));

    // A build that starts while a run works through its files (a Refresh, the schedule, a
    // change seen) leaves the run alone and ends with the whole index; the run rewrites
    // every file it found.
    std::shared_ptr<const std::atomic<bool>> ended;
    host.onPump = [&] {
        if (!ended && !host.found.empty()) ended = h.StartIndexBuild();
    };
    ReplaceRun run(h.ctx, c, host, files);
    run.RunSearchReplace(false);
    ASSERT_TRUE(ended);
    EXPECT_EQ(std::count_if(host.lines.begin(), host.lines.end(),
                            [](const std::string& l) { return l.find("Replaced:") != l.npos; }),
              40);
    for (int file = 0; file < 40; ++file)
        EXPECT_EQ(wintree::ReadAll(tree.Path("docs\\note" + std::to_string(file) + ".txt")),
                  "the dog sat\r\n");
    EXPECT_TRUE(wintree::PumpUntil([&] { return ended->load(); }, 60000));
    EXPECT_EQ(h.starting, 3);
    ASSERT_EQ(h.finishedCounts.size(), 3u);
    // A replacement takes its file's place in one rename: the build saw every file, perhaps
    // beside a replacement not yet in place.
    const std::string index = wintree::ReadAll(h.IndexPath());
    for (int file = 0; file < 40; ++file)
        EXPECT_NE(index.find("\r\nnote" + std::to_string(file) + ".txt\r\n"), std::string::npos)
            << file;
}

}  // namespace
}  // namespace lark
