#include "base/file_helpers.h"

#include <gtest/gtest.h>

#include "support/test_app.h"

namespace lark {
namespace {

TEST(ForceFolders, CreatesEveryMissingFolderBelowTheRoot) {
    struct Case {
        const char* path;
        std::vector<const char*> before;  // existing folders
        bool ok;
        std::vector<const char*> after;  // folders that must exist afterwards
        std::vector<const char*> absent;
    } cases[] = {
        {"C:\\a\\b\\c.txt", {}, true, {"C:\\a", "C:\\a\\b"}, {"C:\\a\\b\\c.txt"}},
        {"C:\\a\\b\\", {}, true, {"C:\\a\\b"}, {}},
        {"C:\\file.txt", {}, true, {}, {"C:\\file.txt"}},
        {"C:\\A\\new\\x", {"C:\\a"}, true, {"C:\\a\\new"}, {}},
        {"\\\\server\\share\\x\\y\\z.txt",
         {"\\\\server\\share"},
         true,
         {"\\\\server\\share\\x", "\\\\server\\share\\x\\y"},
         {}},
        // The share itself is never created: a missing one makes the first folder fail.
        {"\\\\server\\gone\\x\\z.txt", {"\\\\server"}, false, {}, {"\\\\server\\gone"}},
        {"\\\\server\\share", {}, true, {}, {}},
        {"D:\\x", {}, true, {}, {}},
    };
    for (const auto& c : cases) {
        TestApp app;
        for (const char* f : c.before) app.fs.AddFolder(f);
        EXPECT_EQ(ForceFolders(app.fs, c.path), c.ok) << c.path;
        for (const char* f : c.after) EXPECT_TRUE(app.fs.IsFolder(f)) << c.path << ": " << f;
        for (const char* f : c.absent) EXPECT_FALSE(app.fs.Exists(f)) << c.path << ": " << f;
    }
}

TEST(ForceFolders, StopsAtTheFirstFolderThatCannotBeMade) {
    TestApp app;
    app.fs.AddFile("C:\\a\\blocker", "a file where a folder should be");
    EXPECT_FALSE(ForceFolders(app.fs, "C:\\a\\blocker\\deeper\\x.txt"));
    EXPECT_FALSE(app.fs.Exists("C:\\a\\blocker\\deeper"));
    app.fs.readOnlyPaths.insert("C:\\RO");
    EXPECT_FALSE(ForceFolders(app.fs, "C:\\ro\\x\\y.txt"));
}

TEST(EnsureFileExists, CreatesOnlyWhatIsMissing) {
    TestApp app;
    app.fs.AddFile("C:\\keep\\it.txt", "content");
    EXPECT_TRUE(EnsureFileExists(app.fs, "C:\\keep\\it.txt"));
    EXPECT_EQ(app.fs.Find("C:\\keep\\it.txt")->data, "content");

    EXPECT_TRUE(EnsureFileExists(app.fs, "C:\\new\\deep\\list.idx"));
    EXPECT_TRUE(app.fs.IsFile("C:\\new\\deep\\list.idx"));
    EXPECT_EQ(FileSizeOf(app.fs, "C:\\new\\deep\\list.idx"), 0u);

    app.fs.AddFolder("C:\\folder.txt");
    EXPECT_FALSE(EnsureFileExists(app.fs, "C:\\folder.txt"));
    app.fs.AddFile("C:\\blocker");
    EXPECT_FALSE(EnsureFileExists(app.fs, "C:\\blocker\\x.txt"));
}

TEST(FileSizeOf, FilesOnly) {
    TestApp app;
    app.fs.AddFile("C:\\d\\f.bin", std::string(1234, 'x'));
    EXPECT_EQ(FileSizeOf(app.fs, "C:\\d\\f.bin"), 1234u);
    EXPECT_EQ(FileSizeOf(app.fs, "C:\\d"), 0u);
    EXPECT_EQ(FileSizeOf(app.fs, "C:\\d\\missing"), 0u);
}

std::vector<std::string> Drain(FileSystem& fs, std::string_view pattern) {
    std::vector<std::string> names;
    for (std::string n = NextFolderEntry(fs, pattern); !n.empty(); n = NextFolderEntry(fs, ""))
        names.push_back(n);
    return names;
}

TEST(NextFolderEntry, ListsMatchingEntriesOnceThenStaysExhausted) {
    TestApp app;
    for (const char* f :
         {"C:\\T\\a.lks", "C:\\T\\B.LKS", "C:\\T\\c.txt", "C:\\T\\noext", "C:\\T\\sub\\inner.lks"})
        app.fs.AddFile(f);
    using V = std::vector<std::string>;
    EXPECT_EQ(Drain(app.fs, "C:\\T\\*.*"), (V{"a.lks", "B.LKS", "c.txt", "noext", "sub"}));
    EXPECT_EQ(NextFolderEntry(app.fs, ""), "");
    EXPECT_EQ(Drain(app.fs, "C:\\T\\*.lks"), (V{"a.lks", "B.LKS"}));
    EXPECT_EQ(Drain(app.fs, "C:\\T\\?.txt"), (V{"c.txt"}));
    EXPECT_EQ(Drain(app.fs, "C:\\T\\*"), (V{"a.lks", "B.LKS", "c.txt", "noext", "sub"}));
    EXPECT_EQ(Drain(app.fs, "C:\\T\\noext"), (V{"noext"}));
    EXPECT_EQ(Drain(app.fs, "C:\\Missing\\*.*"), V{});
    app.fs.AddFile("C:\\U\\文.lks");
    app.fs.AddFile("C:\\U\\文件.lks");
    EXPECT_EQ(Drain(app.fs, "C:\\U\\?.LKS"), (V{"文.lks"}));
    EXPECT_EQ(Drain(app.fs, "C:\\U\\*?件.lks"), (V{"文件.lks"}));

    // A new pattern abandons a listing still open.
    EXPECT_EQ(NextFolderEntry(app.fs, "C:\\T\\*.*"), "a.lks");
    EXPECT_EQ(Drain(app.fs, "C:\\T\\sub\\*.*"), (V{"inner.lks"}));
    EXPECT_EQ(NextFolderEntry(app.fs, ""), "");
}

TEST(NextFolderEntry, EntriesDeletedWhileListingAreStillVisitedOnce) {
    TestApp app;
    for (const char* f : {"C:\\T\\1", "C:\\T\\2", "C:\\T\\3"}) app.fs.AddFile(f);
    std::vector<std::string> seen;
    for (std::string n = NextFolderEntry(app.fs, "C:\\T\\*.*"); !n.empty();
         n = NextFolderEntry(app.fs, "")) {
        seen.push_back(n);
        app.fs.RemoveFile("C:\\T\\" + n);
        app.fs.AddFile("C:\\T\\" + n + "x");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "3"}));
}

TEST(SplitLines, EveryLineEndStyle) {
    auto split = [](std::string_view text) {
        std::vector<std::string> lines;
        SplitLines(text, [&](std::string_view l) { lines.emplace_back(l); });
        return lines;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(split("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(split("a\r\n\r\nb\r\n"), (V{"a", "", "b"}));
    EXPECT_EQ(split("\n\r"), (V{"", ""}));
    EXPECT_EQ(split(""), V{});
}

}  // namespace
}  // namespace lark
