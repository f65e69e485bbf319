#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/text.h"
#include "index/index_format.h"
#include "index/index_harness_win.h"

namespace lark {

namespace {

using wintree::TempTree;

struct IndexText {
    std::string header;
    // Folder lines in order, each with the names listed under it.
    std::vector<std::pair<std::string, std::multiset<std::string>>> blocks;
    bool wellFormed = true;  // every line ends with CR LF, no stray file line
};

IndexText Parse(const std::string& text) {
    IndexText parsed;
    size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            parsed.wellFormed = false;
            break;
        }
        std::string line = text.substr(at, end - at);
        at = end + 2;
        if (first) {
            parsed.header = line;
            first = false;
        } else if (!line.empty() && line.back() == '\\') {
            parsed.blocks.push_back({line, {}});
        } else if (parsed.blocks.empty() || line.find('\\') != std::string::npos) {
            parsed.wellFormed = false;
        } else {
            parsed.blocks.back().second.insert(line);
        }
    }
    return parsed;
}

// Each folder follows its parent or a folder inside its parent's already-open subtree:
// depth-first, pre-order, every subtree contiguous.
::testing::AssertionResult IsPreOrderWalk(const IndexText& index, size_t from, size_t to) {
    std::vector<std::string> open;
    for (size_t i = from; i < to; ++i) {
        const std::string& folder = index.blocks[i].first;
        while (!open.empty() && !StartsWithIgnoringCase(folder, open.back())) open.pop_back();
        if (i > from) {
            if (open.empty())
                return ::testing::AssertionFailure() << folder << " is outside the walk";
            std::string parent = FolderOfPath(TrimTrailingBackslash(folder)) + "\\";
            if (!SameTextIgnoringCase(parent, open.back()))
                return ::testing::AssertionFailure() << folder << " follows " << open.back();
        }
        open.push_back(folder);
    }
    return ::testing::AssertionSuccess();
}

using Expected = std::map<std::string, std::multiset<std::string>>;

Expected BlocksOf(const IndexText& index, size_t from, size_t to) {
    Expected got;
    for (size_t i = from; i < to; ++i) got[index.blocks[i].first] = index.blocks[i].second;
    return got;
}

}  // namespace

TEST(IndexBuild, GeneratedTreeWithOverlapExcludesAndHiddenFiles) {
    TempTree tree("idx"), data("idxdata");
    tree.File("a\\a1.txt");
    tree.File("a\\a2.txt");
    tree.File("a\\sub1\\s.txt");
    tree.File("a\\sub1\\deep\\d.txt");
    tree.Folder("a\\sub2");
    tree.File("b\\.hidden", "h", FILE_ATTRIBUTE_HIDDEN);
    tree.File("b\\visible.txt");
    tree.Folder("empty");
    tree.File("x\\excluded\\e.txt");
    tree.File("x\\kept\\k.txt");
    tree.File("top.txt");
    const std::string r = tree.Root();

    IndexHarness h(data.Root());
    std::string include = r + "\\a;" + r + "\\;";
    std::string exclude = UpperCase(r + "\\x\\excluded") + ";" + r + "\\b\\;";
    IndexText index = Parse(h.Build(include, exclude));

    ASSERT_TRUE(index.wellFormed);
    EXPECT_EQ(index.header, include + "::" + exclude);
    ASSERT_EQ(h.starting, 1);
    ASSERT_EQ(h.finishedCounts, std::vector<int64_t>{12});
    EXPECT_TRUE(IndexReady.load());

    // The first include is walked on its own, then again inside the second.
    size_t second = 0;
    while (second < index.blocks.size() && index.blocks[second].first != r + "\\") ++second;
    ASSERT_LT(second, index.blocks.size());
    const std::string a = r + "\\a\\";
    Expected aTree{{a, {"a1.txt", "a2.txt"}},
                   {a + "sub1\\", {"s.txt"}},
                   {a + "sub1\\deep\\", {"d.txt"}},
                   {a + "sub2\\", {}}};
    EXPECT_EQ(index.blocks[0].first, a);
    EXPECT_EQ(BlocksOf(index, 0, second), aTree);
    EXPECT_TRUE(IsPreOrderWalk(index, 0, second));

    Expected whole = aTree;
    whole[r + "\\"] = {"top.txt"};
    whole[r + "\\b\\"] = {".hidden", "visible.txt"};  // "b\" with its "\" excludes nothing
    whole[r + "\\empty\\"] = {};
    whole[r + "\\x\\"] = {};
    whole[r + "\\x\\kept\\"] = {"k.txt"};
    EXPECT_EQ(BlocksOf(index, second, index.blocks.size()), whole);
    EXPECT_EQ(index.blocks.size() - second, whole.size());
    EXPECT_TRUE(IsPreOrderWalk(index, second, index.blocks.size()));
}

TEST(IndexBuild, EmptyAndDegenerateIncludeTexts) {
    TempTree tree("idxe"), data("idxedata");
    tree.File("f.txt");
    IndexHarness h(data.Root());

    EXPECT_EQ(h.Build("", ""), "");  // not even line 1
    EXPECT_EQ(h.finishedCounts, std::vector<int64_t>{0});
    std::string log = wintree::ReadAll(BuildLogPath(h.IndexPath()));
    EXPECT_TRUE(StartsWithIgnoringCase(log, "tester: BuildPathList at ")) << log;
    EXPECT_TRUE(EndsWithIgnoringCase(log, "ms\r\n")) << log;

    // A first entry that is empty ends the list at once.
    std::string include = ";" + tree.Root() + ";";
    EXPECT_EQ(h.Build(include, ""), include + "::\r\n");
    // An include that is also an exclude leaves line 1 only.
    EXPECT_EQ(h.Build(tree.Root() + ";", LowerCase(tree.Root()) + ";"),
              tree.Root() + ";::" + LowerCase(tree.Root()) + ";\r\n");
    // A missing include keeps its folder line.
    EXPECT_EQ(h.Build(tree.Path("gone") + ";", ""),
              tree.Path("gone") + ";::\r\n" + tree.Path("gone") + "\\\r\n");
    EXPECT_EQ(h.finishedCounts, (std::vector<int64_t>{0, 0, 0, 0}));
    std::string logAfter = wintree::ReadAll(BuildLogPath(h.IndexPath()));
    EXPECT_EQ(std::count(logAfter.begin(), logAfter.end(), '\n'), 4);
}

TEST(IndexBuild, WithoutADomainNothingStartsAndRefreshDoesNotWait) {
    TempTree data("idxnone");
    IndexHarness h(data.Root());
    EXPECT_EQ(h.service.StartIndexBuild(), nullptr);
    h.refresh.puRefreshClick();  // returns at once
    EXPECT_EQ(h.starting, 0);
    EXPECT_FALSE(wintree::WaitForPath(h.IndexPath(), 0));
}

// A drive letter of its own for a tree, as Wine maps drives; gone again at the end.
class MappedDrive {
  public:
    explicit MappedDrive(const std::string& windowsFolder) {
        char prefix[MAX_PATH] = "";
        if (GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH) == 0) return;
        DWORD used = GetLogicalDrives();
        char letter = 0;
        for (char c = 'P'; c <= 'Y' && !letter; ++c)
            if (!(used & (1u << (c - 'A')))) letter = c;
        if (!letter) return;
        link_ = std::string(prefix) + "/dosdevices/" + char(letter + 32) + ":";
        if (wintree::RunUnix("/bin/ln -s \"" + wintree::UnixPathOf(windowsFolder) + "\" \"" +
                             link_ + "\""))
            drive_ = std::string(1, letter) + ":";
    }
    ~MappedDrive() {
        if (!link_.empty()) wintree::RunUnix("/bin/rm -f \"" + link_ + "\"");
    }
    // "P:", or empty when no letter could be mapped.
    const std::string& Drive() const { return drive_; }

  private:
    std::string link_;
    std::string drive_;
};

// The process's current folder for the test's length.
class CurrentFolder {
  public:
    explicit CurrentFolder(const std::string& folder) {
        GetCurrentDirectoryW(MAX_PATH, before_);
        changed_ = SetCurrentDirectoryW(Widen(folder).c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(before_); }
    bool Changed() const { return changed_ != FALSE; }

  private:
    wchar_t before_[MAX_PATH] = L"";
    BOOL changed_ = FALSE;
};

TEST(IndexBuild, DriveRootIsWalkedAndWatchedWhateverTheCurrentFolderOnThatDrive) {
    TempTree tree("idxroot"), data("idxrootdata");
    tree.File("r.txt");
    tree.File("sub\\s.txt");
    MappedDrive mapped(tree.Root());
    const std::string& drive = mapped.Drive();
    ASSERT_FALSE(drive.empty());
    ASSERT_TRUE(wintree::WaitForPath(drive + "\\r.txt"));
    // "P:" alone now names P:\sub, as "C:" names the program's folder when it runs there.
    CurrentFolder here(drive + "\\sub");
    ASSERT_TRUE(here.Changed());

    IndexHarness h(data.Root(), false);
    std::string text = h.Build(drive + "\\;", "");
    IndexText index = Parse(text);
    ASSERT_TRUE(index.wellFormed) << text;
    ASSERT_EQ(index.blocks.size(), 2u) << text;
    EXPECT_EQ(index.blocks[0].first, drive + "\\");
    EXPECT_EQ(index.blocks[0].second, std::multiset<std::string>{"r.txt"});
    EXPECT_EQ(index.blocks[1].first, drive + "\\sub\\");

    // The watch that follows the build is on the root as well: a new file there (directly
    // in the watched folder, which Wine reports too) brings the next build.
    Sleep(300);
    tree.File("new.txt");
    EXPECT_TRUE(h.RunLoop([&] { return h.finishedCounts.size() == 2; }, 20000))
        << "a change in the root of the drive was not seen";
}

TEST(IndexBuild, AnOlderBuildsLastStepLeavesANewerBuildBusy) {
    TempTree one("idxold"), two("idxnew"), data("idxolddata");
    one.File("a.txt");
    two.File("b.txt");
    two.File("c.txt");
    IndexHarness h(data.Root());
    h.SetDomain(one.Root() + ";", "");
    auto first = h.service.StartIndexBuild();
    ASSERT_NE(first, nullptr);
    // Once the first build has closed the index it only waits for its finishing step, which
    // runs on this thread, so a second build can open the file meanwhile.
    std::wstring index = Widen(h.IndexPath());
    bool closed = false;
    for (int i = 0; i < 400 && !closed; ++i, Sleep(25)) {
        HANDLE reader = CreateFileW(index.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        closed = reader != INVALID_HANDLE_VALUE;
        if (closed) CloseHandle(reader);
    }
    ASSERT_TRUE(closed);

    bool readyDuringSecond = true;
    std::vector<int64_t> finishedDuringSecond;
    h.onStarting = [&] {
        // The second build has begun: the first one's finishing step arrives now.
        wintree::PumpUntil([&] { return first->load(); }, 10000);
        readyDuringSecond = IndexReady.load();
        finishedDuringSecond = h.finishedCounts;
    };
    h.SetDomain(two.Root() + ";", "");
    auto second = h.service.StartIndexBuild();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(first->load());
    EXPECT_FALSE(readyDuringSecond) << "the older build marked the running one ready";
    EXPECT_TRUE(finishedDuringSecond.empty());
    ASSERT_TRUE(wintree::PumpUntil([&] { return second->load(); }, 20000));
    EXPECT_EQ(h.finishedCounts, std::vector<int64_t>{2});
    EXPECT_TRUE(IndexReady.load());
    // Both builds wrote their log line.
    std::string log = wintree::ReadAll(BuildLogPath(h.IndexPath()));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

TEST(IndexBuild, FolderLoopsAndDeepFoldersEndTheWalk) {
    TempTree tree("idxloop"), data("idxloopdata");
    tree.File("loop\\a\\f.txt");
    ASSERT_TRUE(wintree::MakeUnixSymlink(tree.Path("loop"), tree.Path("loop\\a\\back")));
    std::string deep = "loop";
    while (deep.size() < 300) deep += "\\folder-of-a-deep-tree";
    tree.File(deep + "\\deep.txt");

    IndexHarness h(data.Root());
    std::string text = h.Build(tree.Path("loop") + ";", "", 30000);
    IndexText index = Parse(text);
    ASSERT_TRUE(index.wellFormed);
    ASSERT_EQ(h.finishedCounts, std::vector<int64_t>{2});
    Expected blocks = BlocksOf(index, 0, index.blocks.size());
    EXPECT_EQ(blocks.count(tree.Path("loop\\a\\back\\")), 0u);
    EXPECT_EQ(blocks[tree.Path("loop\\a\\")], std::multiset<std::string>{"f.txt"});
    EXPECT_EQ(blocks[tree.Path(deep) + "\\"], std::multiset<std::string>{"deep.txt"});
    EXPECT_TRUE(IsPreOrderWalk(index, 0, index.blocks.size()));
}

TEST(IndexBuild, TheIndexIsHeldAgainstWritersAndWholeReadsWhileBuilding) {
    TempTree tree("idxlock"), data("idxlockdata");
    tree.File("f.txt");
    IndexHarness h(data.Root(), false);
    h.Build("", "");  // creates the index and its folder
    std::wstring index = Widen(h.IndexPath());
    h.watchEnds.clear();

    bool readerRefused = false;
    std::shared_ptr<const std::atomic<bool>> second;
    h.onStarting = [&] {
        HANDLE reader = CreateFileW(index.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        readerRefused = reader == INVALID_HANDLE_VALUE;
        if (!readerRefused) CloseHandle(reader);
        second = h.service.StartIndexBuild();
    };
    h.Build(tree.Root() + ";", "");
    EXPECT_TRUE(readerRefused);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(h.starting, 2);  // the second build never started

    // A build that finds the file held waits, then watches for the next change.
    HANDLE holder = CreateFileW(index.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    h.refresh.RefreshPending = true;
    EXPECT_EQ(h.Build(tree.Root() + ";", ""), "<none>");
    EXPECT_EQ(h.starting, 2);
    EXPECT_TRUE(wintree::PumpUntil([&] { return !h.refresh.RefreshPending.load(); }, 8000));
    CloseHandle(holder);
}

}  // namespace lark
