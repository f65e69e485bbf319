#include <gtest/gtest.h>

#include "index/index_harness_win.h"

namespace lark {

namespace {

using wintree::TempTree;

}  // namespace

TEST(ChangeWatch, NewFileRebuildsAboutThreeSecondsLaterWritesDoNot) {
    TempTree tree("watch"), data("watchdata");
    tree.File("old.txt", "1");
    IndexHarness h(data.Root(), false);
    h.SetDomain(tree.Root() + ";", "");
    h.refresh.ApplyRefreshSchedule();
    ASSERT_TRUE(h.RunLoop([&] { return h.finishedCounts.size() == 1; }, 20000));
    EXPECT_FALSE(h.refresh.RefreshPending.load());
    Sleep(300);  // let the watcher arm

    // Writing to an existing file is no change of names.
    tree.File("old.txt", "a longer content");
    h.RunLoop([] { return false; }, 5000);
    EXPECT_EQ(h.finishedCounts.size(), 1u);
    EXPECT_TRUE(h.watchEnds.empty());

    DWORD created = GetTickCount();
    tree.File("new.txt");
    ASSERT_TRUE(h.RunLoop([&] { return h.finishedCounts.size() == 2; }, 20000));
    DWORD took = GetTickCount() - created;
    EXPECT_GE(took, 2900u);
    EXPECT_LT(took, 8000u);
    EXPECT_EQ(h.watchEnds, std::vector<int>{0});
    EXPECT_EQ(h.finishedCounts.back(), 2);
    EXPECT_NE(wintree::ReadAll(h.IndexPath()).find("\r\nnew.txt\r\n"), std::string::npos);
}

TEST(ChangeWatch, ChangesRightAfterALaunchAreIgnored) {
    TempTree tree("launch"), data("launchdata");
    IndexHarness h(data.Root(), false);
    h.service.StartChangeWatch(tree.Root() + ";", 0, "");
    Sleep(300);
    LastLaunchTick = GetTickCount();
    tree.File("launched.tmp");
    wintree::PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(h.watchEnds.empty()) << "seen within 3 s of the launch";
    LastLaunchTick = 0;
    tree.File("later.txt");
    EXPECT_TRUE(wintree::PumpUntil([&] { return !h.watchEnds.empty(); }, 10000));
    EXPECT_TRUE(h.refresh.RefreshPending.load());
}

TEST(ChangeWatch, MoreThanSixtyFourFoldersAreAllWatched) {
    TempTree tree("many"), data("manydata");
    std::string include;
    auto name = [](int i) { return std::string("f").append(std::to_string(i)); };
    for (int i = 0; i < 150; ++i) {
        tree.Folder(name(i));
        include += tree.Path(name(i)) + ";";
    }
    for (int target : {149, 70, 0}) {
        IndexHarness h(data.Root(), false);
        h.service.StartChangeWatch(include, 0, "");
        Sleep(500);
        tree.File(name(target).append("\\new.txt"));
        EXPECT_TRUE(wintree::PumpUntil([&] { return !h.watchEnds.empty(); }, 10000))
            << "folder " << target;
    }
}

TEST(ChangeWatch, RecentFolderWatchHandsOverEveryChangeAndKeepsRunning) {
    TempTree recent("recent"), data("recentdata");
    IndexHarness h(data.Root(), false);
    h.service.StartChangeWatch(recent.Root() + ";", 1, "");
    Sleep(300);
    recent.File("one.lnk");
    ASSERT_TRUE(wintree::PumpUntil([&] { return h.imports >= 1; }, 10000));
    Sleep(300);
    recent.File("two.lnk");
    ASSERT_TRUE(wintree::PumpUntil([&] { return h.imports >= 2; }, 10000));
    EXPECT_TRUE(h.watchEnds.empty());
    EXPECT_FALSE(h.refresh.RefreshPending.load());

    // Nothing to watch: the watcher ends at once.
    IndexHarness gone(data.Root(), false);
    gone.service.StartChangeWatch(recent.Path("missing") + ";", 1, "");
    EXPECT_TRUE(wintree::PumpUntil([&] { return !gone.watchEnds.empty(); }, 10000));
    EXPECT_EQ(gone.watchEnds, std::vector<int>{1});
}

}  // namespace lark
