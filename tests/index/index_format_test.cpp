#include "index/index_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace lark {

TEST(IsExcludedFolder, WholeEntriesIgnoringCase) {
    struct Case {
        const char* folder;
        const char* exclude;
        bool excluded;
    } cases[] = {
        {"C:\\Docs\\Old", "C:\\Docs\\Old;", true},
        {"c:\\docs\\old", "C:\\DOCS\\OLD;", true},
        {"C:\\Docs\\Old", "D:\\X;C:\\Docs\\Old;E:\\Y;", true},
        {"C:\\Docs\\Old", "C:\\Docs\\Old", true},       // last entry without its ";"
        {"C:\\Docs\\Old", "C:\\Docs\\Old\\;", false},   // a trailing "\" never matches
        {"C:\\Docs", "C:\\Docs\\Old;", false},          // a parent of an entry
        {"C:\\Docs\\Old\\A", "C:\\Docs\\Old;", false},  // below an entry: the walk stops above
        {"C:\\Doc", "C:\\Docs;", false},
        {"C:\\Docs", "", false},
        {"C:\\C#\\Old", "C:\\C#\\Old;", true},  // "#" is itself, never a digit run
        // Patterns: "*" any run, "?" one character, case ignored, whole path.
        {"C:\\Users\\jdoe\\AppData", "C:\\Users\\*\\AppData;", true},
        {"c:\\users\\J Doe\\appdata", "D:\\X;C:\\Users\\*\\AppData;", true},
        {"C:\\Users\\jdoe\\AppData\\Local", "C:\\Users\\*\\AppData;", false},
        {"C:\\Users\\AppData", "C:\\Users\\*\\AppData;", false},
        {"C:\\Work\\build7", "C:\\Work\\build?;", true},
        {"C:\\Users\\jdoe\\AppData", "C:\\Users\\*\\AppData\\;", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsExcludedFolder(c.folder, c.exclude), c.excluded)
            << c.folder << " | " << c.exclude;
}

TEST(ExcludedFolders, CoversEverythingAtOrBelowAnExcludedFolder) {
    ExcludedFolders excluded("C:\\Data\\Cache;C:\\Users\\*\\AppData;");
    struct Case {
        const char* path;
        bool covered;
    } cases[] = {
        {"C:\\Data\\Cache", true},
        {"C:\\Data\\cache\\f.tmp", true},
        {"C:\\Data\\Cache\\a\\b\\f.tmp", true},
        {"C:\\Users\\jdoe\\AppData\\Local\\Temp\\x.tmp", true},
        {"C:\\Data\\Cached.txt", false},
        {"C:\\Data\\f.txt", false},
        {"C:\\Users\\jdoe\\Documents\\AppData.txt", false},
        {"C:\\Data", false},
        {"C:\\", false},
    };
    for (const Case& c : cases) EXPECT_EQ(excluded.Covers(c.path), c.covered) << c.path;
}

TEST(WalkPaths, DriveRootsAndReparseFolders) {
    // A bare drive is the current folder on it; its root must be asked for with its "\".
    EXPECT_EQ(ListablePath("C:"), "C:\\");
    EXPECT_EQ(ListablePath("C:\\Docs"), "C:\\Docs");
    EXPECT_EQ(ListablePath("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(PathInFolder("C:", "Windows"), "C:\\Windows");
    EXPECT_EQ(PathInFolder("C:\\", "Windows"), "C:\\Windows");
    EXPECT_EQ(PathInFolder("C:\\Docs", "a\\b.txt"), "C:\\Docs\\a\\b.txt");

    constexpr uint32_t kFolder = 0x10, kReparse = 0x400;
    struct Case {
        uint32_t attributes;
        uint32_t tag;
        bool followed;
        const char* what;
    } cases[] = {
        {kFolder, 0, true, "plain folder"},
        {0x20, 0, false, "file"},
        {kFolder | kReparse, 0xA0000003, false, "junction or mount point"},
        {kFolder | kReparse, 0xA000000C, false, "symbolic link"},
        {kFolder | kReparse, 0xA000001D, false, "Linux-subsystem link"},
        {kFolder | kReparse, 0x9000601A, true, "cloud-file folder (OneDrive)"},
        {kFolder | kReparse, 0x9000001A, true, "cloud-file folder, other provider"},
        {kFolder | kReparse, 0x80000013, true, "deduplicated folder"},
        {kFolder | kReparse, 0x8000001B, true, "app-execution alias folder"},
        {kFolder | kReparse, 0, false, "no tag reported (Wine's links)"},
    };
    for (const Case& c : cases) EXPECT_EQ(FollowsFolder(c.attributes, c.tag), c.followed) << c.what;
}

TEST(ForEachFolderEntry, StopsAtTheFirstEmptyEntry) {
    struct Case {
        const char* text;
        std::vector<std::string> entries;
    } cases[] = {
        {"C:\\Docs;D:\\Work;", {"C:\\Docs", "D:\\Work"}},
        {"C:\\;", {"C:"}},
        {"C:\\Docs\\;D:\\Work", {"C:\\Docs", "D:\\Work"}},
        {";C:\\Docs;", {}},
        {"C:\\A;;C:\\B;", {"C:\\A"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        ForEachFolderEntry(c.text, [&](const std::string& e) { got.push_back(e); });
        EXPECT_EQ(got, c.entries) << c.text;
    }
}

TEST(IndexLines, HeaderLogAndTip) {
    EXPECT_EQ(IndexHeaderLine("C:\\Docs;D:\\Work;", "C:\\Docs\\Old;"),
              "C:\\Docs;D:\\Work;::C:\\Docs\\Old;");
    EXPECT_EQ(IndexHeaderLine("C:\\Docs;", ""), "C:\\Docs;::");
    EXPECT_EQ(BuildLogLine("jdoe", "08/12/2026 04:51:07", 1234),
              "jdoe: BuildPathList at 08/12/2026 04:51:07 1234ms\r\n");
    EXPECT_EQ(BuildLogPath("C:\\Data\\All Users\\All files.idx"),
              "C:\\Data\\All Users\\larkspire.log");
    EXPECT_EQ(IndexedFilesTip(0), "Larkspire 0 files indexed");
}

namespace {

class RecordingSink final : public ByteSink {
  public:
    bool Write(const char* data, size_t size) override {
        if (failAfter == 0) return false;
        --failAfter;
        writes.emplace_back(data, size);
        return true;
    }
    std::string All() const {
        std::string all;
        for (const auto& w : writes) all += w;
        return all;
    }
    std::vector<std::string> writes;
    int failAfter = 1000;
};

}  // namespace

TEST(IndexWriter, BuffersWholeLinesAndPassesLongOnesThrough) {
    RecordingSink sink;
    IndexWriter writer(sink, 16);
    EXPECT_TRUE(writer.WriteFolderLine("C:\\A"));
    EXPECT_TRUE(writer.WriteFolderLine("C:\\"));
    EXPECT_TRUE(writer.WriteLine("file.txt"));
    EXPECT_TRUE(writer.WriteLine("a name longer than the whole buffer.txt"));
    EXPECT_TRUE(writer.WriteLine(""));
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(sink.All(),
              "C:\\A\\\r\nC:\\\r\nfile.txt\r\na name longer than the whole buffer.txt\r\n\r\n");
    for (const auto& w : sink.writes) EXPECT_FALSE(w.empty());
    // Nothing reaches the sink before the buffer is full.
    RecordingSink quiet;
    IndexWriter big(quiet);
    big.WriteLine("x");
    EXPECT_TRUE(quiet.writes.empty());
}

TEST(IndexWriter, AFailedWriteStopsEverythingAfterIt) {
    RecordingSink sink;
    sink.failAfter = 1;
    IndexWriter writer(sink, 8);
    EXPECT_TRUE(writer.WriteLine("abc"));     // buffered
    EXPECT_TRUE(writer.WriteLine("defg"));    // flushes "abc", buffers "defg"
    EXPECT_FALSE(writer.WriteLine("hijkl"));  // the second write fails
    EXPECT_TRUE(writer.Failed());
    EXPECT_FALSE(writer.WriteLine("x"));
    EXPECT_FALSE(writer.Flush());
    EXPECT_EQ(sink.All(), "abc\r\n");
}

}  // namespace lark
