// A search and a Refresh that come while the builder writes the index: the search is refused
// with the standard file error, the Refresh starts nothing, and the running build ends with the
// whole index.
#pragma GCC diagnostic ignored "-Wrestrict"  // GCC bug 105651, as in the search tests

#include <gtest/gtest.h>

#include "index/index_harness_win.h"
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

}  // namespace
}  // namespace lark
