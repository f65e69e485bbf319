#include <gtest/gtest.h>

#include <algorithm>

#include "config/settings.h"
#include "index/change_filter.h"
#include "index/index_format.h"
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

TEST(ChangeWatch, ChangesWithinThreeSecondsOfALaunchAreIgnoredWhateverTheIdleChecksDo) {
    TempTree tree("launch"), data("launchdata");
    IndexHarness h(data.Root(), false);
    h.service.StartChangeWatch(tree.Root() + ";", 0, "");
    Sleep(300);
    LastLaunchTick = h.clock.TickCount();  // as the launch command marks it
    tree.File("launched.tmp");
    // The message loop goes idle many times meanwhile.
    h.RunLoop([] { return false; }, 1500);
    EXPECT_TRUE(h.watchEnds.empty()) << "seen within 3 s of the launch";
    EXPECT_NE(LastLaunchTick.load(), 0u);
    h.RunLoop([] { return false; }, 2000);
    EXPECT_EQ(LastLaunchTick.load(), 0u) << "the quiet time is over";
    tree.File("later.txt");
    EXPECT_TRUE(h.RunLoop([&] { return !h.watchEnds.empty(); }, 10000));
    EXPECT_EQ(h.watchEnds, std::vector<int>{0});
}

// The program's data folders inside the watched folders and an excluded folder among them:
// what changes there cannot alter the index. Wine reports only changes directly in a watched
// folder, so the churn is made there (and, for Windows, inside the excluded folder too).
TEST(ChangeWatch, ChurnThatCannotAlterTheIndexStartsNoRebuild) {
    TempTree tree("churn");
    const std::string dataLocation = tree.Path("Larkspire");
    IndexHarness h(dataLocation, false);
    const std::string shared = dataLocation + "\\All Users", mine = dataLocation + "\\tester";
    ASSERT_TRUE(h.fs.CreateFolder(dataLocation));
    ASSERT_TRUE(h.fs.CreateFolder(shared));
    ASSERT_TRUE(h.fs.CreateFolder(mine));
    h.SetDomain(shared + ";" + mine + ";", shared + "\\cache;" + mine + "\\Cache*;");
    h.refresh.ApplyRefreshSchedule();
    ASSERT_TRUE(h.RunLoop([&] { return h.finishedCounts.size() == 1; }, 20000));
    Sleep(300);  // let the watcher arm

    const DWORD until = GetTickCount() + 5000;
    for (int round = 0; int(until - GetTickCount()) > 0; ++round) {
        const std::string n = std::to_string(round);
        // The program's own files: index log, recent list (rewritten through a temporary
        // file), keyword history.
        h.fs.Append(BuildLogPath(h.IndexPath()), "line\r\n");
        h.fs.WriteWhole(MyRecentFilesPath(h.ctx), "C:\\doc" + n + ".txt\r\n");
        h.fs.WriteWhole(KeywordHistoryFile(h.ctx), "report\r\n");
        // An excluded folder, made, filled and removed again; and one matched by a pattern.
        h.fs.CreateFolder(shared + "\\cache");
        h.fs.WriteWhole(shared + "\\cache\\tmp" + n + ".dat", "x");
        h.fs.RemoveFile(shared + "\\cache\\tmp" + n + ".dat");
        RemoveDirectoryW(Widen(shared + "\\cache").c_str());
        h.fs.CreateFolder(mine + "\\Cache" + n);
        RemoveDirectoryW(Widen(mine + "\\Cache" + n).c_str());
        h.RunLoop([] { return false; }, 100);
    }
    h.RunLoop([] { return false; }, 4000);  // a rebuild would have started by now
    EXPECT_EQ(h.finishedCounts.size(), 1u);
    EXPECT_TRUE(h.watchEnds.empty());

    // A change that does alter the index is still seen.
    h.fs.WriteWhole(mine + "\\letter.txt", "x");
    ASSERT_TRUE(h.RunLoop([&] { return h.finishedCounts.size() == 2; }, 20000));
    EXPECT_NE(wintree::ReadAll(h.IndexPath()).find("\r\nletter.txt\r\n"), std::string::npos);
}

TEST(ChangeWatch, TheShippedDomainsLeaveOutTheChurnOfEveryUsersAppData) {
    std::string exe = LARKSPIRE_EXE_UNIX_PATH;
    std::replace(exe.begin(), exe.end(), '/', '\\');
    IndexHarness h("C:\\Data", false);
    h.ctx.exePath = "Z:" + exe;  // beside it, the shipped settings file the build copies there
    ASSERT_TRUE(LoadSettings(h.ctx));
    EXPECT_FALSE(h.settings.RefreshFixedSchedule) << "changes drive the refreshes";
    const struct {
        const char* path;
        bool counts;
    } changes[] = {
        {"C:\\Users\\jdoe\\Documents\\letter.doc", true},
        {"C:\\Users\\jdoe\\Desktop\\New Folder", true},
        {"C:\\Users\\jdoe\\AppData\\Local\\Temp\\~DF1234.tmp", false},
        {"C:\\Users\\jdoe\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\letter.lnk", false},
        {"C:\\Users\\Jane Doe\\AppData\\Local\\Browser\\Cache\\f_000123", false},
        {"C:\\ProgramData\\Larkspire\\All Users\\All files.idx", false},
    };
    for (const char* name : {"<Default>", "Local Drive"}) {
        const TSearchSet* domain = FindSearchSet(h.settings, name);
        ASSERT_NE(domain, nullptr) << name;
        ChangeFilter filter(domain->ExcludePaths, ProgramDataFiles(h.ctx));
        for (const auto& c : changes)
            EXPECT_EQ(filter.Counts(c.path), c.counts) << name << " " << c.path;
    }
    // The whole drive also leaves out the folders Windows itself keeps busy.
    ChangeFilter drive(FindSearchSet(h.settings, "Local Drive")->ExcludePaths, {});
    EXPECT_FALSE(drive.Counts("C:\\Windows\\Temp\\x.tmp"));
    EXPECT_FALSE(drive.Counts("C:\\Windows\\Prefetch\\NOTEPAD.EXE-1234.pf"));
    EXPECT_TRUE(drive.Counts("C:\\Windows\\System32\\newtool.exe"));
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
