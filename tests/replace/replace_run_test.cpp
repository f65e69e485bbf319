// Whole runs over in-memory files: what is logged, written, backed up and listed.
#include <gtest/gtest.h>

#include "fake_replace.h"
#include "search/criteria.h"
#include "support/test_app.h"

namespace lark {
namespace {

constexpr const char* kLog = "C:\\Logs\\replace.log";

struct RunWorld {
    TestApp app;
    SearchCriteria c;
    FakeReplaceHost host;
    FakeReplaceFiles files;

    RunWorld() {
        app.settings.DataLocation = "C:\\Data\\Larkspire";
        c.Logfile = kLog;
    }
    std::unique_ptr<ReplaceRun> RunOver(bool searchOnly, std::vector<std::string> paths) {
        host.searchResult = std::move(paths);
        auto run = std::make_unique<ReplaceRun>(app.ctx, c, host, files);
        run->RunSearchReplace(searchOnly);
        return run;
    }
    std::string LogText() const { return files.Data(kLog); }
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        return text;
    }
};

struct RunFixture : ::testing::Test, RunWorld {};

TEST_F(RunFixture, AWritingRunRewritesOnlyChangedBytes) {
    c.SearchReplaceLines = {"cat\tdog", "gone\t"};
    c.Replace = true;
    c.Backup = true;
    struct Case {
        std::string path, before, after;
        uint32_t attributes = kAttrArchive;
    };
    const std::string block(1024, '\x01');
    const Case cases[] = {
        {"C:\\t\\crlf.txt", "a cat\r\nb\r\n", "a dog\r\nb\r\n"},
        {"C:\\t\\lf.txt", "a cat\nb\n", "a dog\nb\n"},
        {"C:\\t\\cr.txt", "a cat\rb\r", "a dog\rb\r"},
        {"C:\\t\\noend.txt", "x\r\ncat", "x\r\ndog"},
        {"C:\\t\\dropped.txt", "keep\ngone\nkeep\n", "keep\nkeep\n"},
        {"C:\\t\\utf8.txt", "caf\xC3\xA9 au lait for everyone, and then the cat sat\n",
         "caf\xC3\xA9 au lait for everyone, and then the dog sat\n"},
        {"C:\\t\\readonly.txt", "cat\r\n", "dog\r\n", kAttrReadOnly | kAttrHidden},
        {"C:\\t\\same.txt", "no hit\r\n", "no hit\r\n"},
        // Non-text: the last bytes of a block change, a hit across two blocks does not.
        {"C:\\t\\edge.bin",
         block.substr(0, 1021) + "cat" + block.substr(0, 1022) + "ca" + "t" + block.substr(0, 99),
         block.substr(0, 1021) + "dog" + block.substr(0, 1022) + "ca" + "t" + block.substr(0, 99)},
        {"C:\\t\\plain.bin", block + "CAT" + block, block + "dog" + block},
        {"C:\\t\\nohit.bin", block + block, block + block},
    };
    std::vector<std::string> paths;
    for (const Case& k : cases) {
        files.Add(k.path, k.before).attributes = k.attributes;
        paths.push_back(k.path);
    }
    RunOver(false, paths);
    for (const Case& k : cases) {
        EXPECT_EQ(files.Data(k.path), k.after) << k.path;
        const bool changed = k.before != k.after;
        EXPECT_EQ(files.Find(k.path + ".bak") != nullptr, changed) << k.path;
        if (changed) {
            EXPECT_EQ(files.Data(k.path + ".bak"), k.before) << k.path;
        }
        EXPECT_EQ(files.Find(k.path + ".out"), nullptr) << k.path;
    }
    // Read-only is cleared for good; the other attributes stay.
    EXPECT_EQ(files.Find("C:\\t\\readonly.txt")->attributes, kAttrHidden);
    // Only non-text files with hits are listed; changed text files are in the log.
    EXPECT_EQ(host.found, (std::vector<std::string>{"C:\\t\\edge.bin", "C:\\t\\plain.bin"}));
    for (const char* line : {"0:00:00>    Replaced:C:\\t\\lf.txt\t(0 ms)",
                             "0:00:00>  Checking Binary C:\\t\\nohit.bin",
                             "0:00:00>    Replaced:C:\\t\\plain.bin\t(0 ms)"}) {
        EXPECT_NE(std::find(host.lines.begin(), host.lines.end(), line), host.lines.end()) << line;
    }
    EXPECT_EQ(std::count_if(host.lines.begin(), host.lines.end(),
                            [](const std::string& l) { return l.find("Replaced:") != l.npos; }),
              9);
}

TEST_F(RunFixture, CommentMarkingKeepsTheOldLineAboveTheNew) {
    c.SearchReplaceLines = {"a\tb"};
    c.Replace = true;
    c.CommentChanges = true;
    c.CommentChar = " ; ";
    files.Add("C:\\t\\lf.ini", "a=1\n;a=2\nx a");
    RunOver(false, {"C:\\t\\lf.ini"});
    EXPECT_EQ(files.Data("C:\\t\\lf.ini"), ";a=1\nb=1\n;a=2\n;x a\nx b");
}

TEST_F(RunFixture, ASearchOnlyRunListsHitsAndWritesNothing) {
    c.SearchReplaceLines = {"cat"};
    c.Replace = true;
    const std::string binary = std::string(200, '\0') + "cat" + std::string(200, '\0');
    files.Add("C:\\t\\a.txt", "cat cat\r\nnone\r\nthe CAT\r\n");
    files.Add("C:\\t\\b.bin", binary);
    files.Add("C:\\t\\c.txt", "none\r\n");
    RunOver(true, {"C:\\t\\a.txt", "C:\\t\\b.bin", "C:\\t\\c.txt"});
    const std::vector<std::string> expected = {
        "0:00:00>[Logging to C:\\Logs\\replace.log]",
        "",
        "C:\\t\\a.txt",
        "  cat cat",
        "  the CAT",
        "0:00:00>  Checking Binary C:\\t\\b.bin",
        "",
        "C:\\t\\b.bin",
        " ",
        "0:00:00>Finished!",
    };
    EXPECT_EQ(host.lines, expected);
    EXPECT_EQ(files.commits, 0);
    EXPECT_EQ(files.Data("C:\\t\\a.txt"), "cat cat\r\nnone\r\nthe CAT\r\n");
    EXPECT_EQ(files.Data("C:\\t\\b.bin"), binary);
    EXPECT_EQ(host.found, (std::vector<std::string>{"C:\\t\\a.txt", "C:\\t\\b.bin"}));
}

TEST_F(RunFixture, ThePatternRuleLogsBothLinesWithoutPrefixes) {
    c.SearchReplaceLines = {"c*t\tX"};
    c.PatternMatch = true;
    c.IncludePattern = "*CAT*";  // folded like the lines
    files.Add("C:\\t\\p.txt", "a cat\r\nno\r\nbig coat\r\n");
    RunOver(false, {"C:\\t\\p.txt"});
    const std::vector<std::string> expected = {
        "0:00:00>[Logging to C:\\Logs\\replace.log]",
        "C:\\t\\p.txt",
        "  a cat",
        "  a X",
        " ",
        "0:00:00>Finished!",
    };
    EXPECT_EQ(host.lines, expected);
}

TEST_F(RunFixture, ALinePatternWithoutWildcardsSelectsEqualLinesOnly) {
    c.SearchReplaceLines = {"a\tb"};
    c.Replace = true;
    c.IncludePattern = "A=1";
    files.Add("C:\\t\\x.ini", "a=1\na=12\nA=1\n");
    RunOver(false, {"C:\\t\\x.ini"});
    EXPECT_EQ(files.Data("C:\\t\\x.ini"), "b=1\na=12\nb=1\n");
}

TEST_F(RunFixture, RefusedPairsKeepThePreviousList) {
    c.SearchReplaceLines = {"cat\tdog", "dog\tbird"};
    host.found = {"C:\\previous.txt"};
    RunOver(false, {"C:\\t\\a.txt"});
    EXPECT_EQ(host.searches, 0);
    EXPECT_EQ(host.found, std::vector<std::string>{"C:\\previous.txt"});
    const std::vector<std::string> expected = {
        "0:00:00>[Logging to C:\\Logs\\replace.log]",
        "0:00:00>     Search string 'dog' is part of Replace string 'dog'",
        " ",
        "0:00:00>Finished!",
    };
    EXPECT_EQ(host.lines, expected);
}

TEST_F(RunFixture, SetUpFollowsTheOptions) {
    struct Case {
        const char* name;
        std::function<void(RunWorld&)> arrange;
        std::function<void(RunWorld&)> check;
    };
    const Case cases[] = {
        {"comment marking without a prefix is dropped with a warning",
         [](RunWorld& f) {
             f.c.CommentChanges = true;
             f.c.CommentChar = "  ";
         },
         [](RunWorld& f) {
             EXPECT_EQ(f.app.messages.warnings,
                       std::vector<std::string>{
                           "You have selected to comment out changes, but have not given a "
                           "Comment prefix character. Setting ignored"});
             EXPECT_FALSE(f.c.CommentChanges);
             EXPECT_EQ(f.files.Data("C:\\t\\a.txt"), "dog\r\n");
         }},
        {"an empty log box runs without a log", [](RunWorld& f) { f.c.Logfile.clear(); },
         [](RunWorld& f) {
             EXPECT_EQ(f.host.lines.front(), "0:00:00>    Replaced:C:\\t\\a.txt\t(0 ms)");
             EXPECT_EQ(f.files.Find(kLog), nullptr);
         }},
        {"a log that cannot be created",
         [](RunWorld& f) { f.files.failLog.insert(UpperCase(kLog)); },
         [](RunWorld& f) {
             EXPECT_EQ(f.host.lines.front(),
                       "0:00:00>[Logging disabled. Log file could not be created]");
         }},
        {"a log folder that cannot be made falls back to the user's log",
         [](RunWorld& f) {
             f.app.fs.readOnlyPaths.insert("C:\\LOCKED");
             f.c.Logfile = "C:\\Locked\\x.log";
         },
         [](RunWorld& f) {
             const std::string fallback = "C:\\Data\\Larkspire\\jdoe\\Larkspire.log";
             EXPECT_EQ(f.c.Logfile, fallback);
             EXPECT_EQ(f.host.lines.front(), "0:00:00>[Logging to " + fallback + "]");
             EXPECT_NE(f.files.Find(fallback), nullptr);
         }},
        {"show logfile shows the window", [](RunWorld& f) { f.c.ShowLog = true; },
         [](RunWorld& f) { EXPECT_EQ(f.host.shows, 1); }},
        {"use last search list walks the list as it is",
         [](RunWorld& f) {
             f.c.UseLastSearch = true;
             f.host.found = {"C:\\t\\a.txt"};
             f.host.searchResult.clear();
         },
         [](RunWorld& f) {
             EXPECT_EQ(f.host.searches, 0);
             EXPECT_EQ(f.files.Data("C:\\t\\a.txt"), "dog\r\n");
         }},
        {"the file keeps its creation time, and the rewrite's other times", [](RunWorld&) {},
         [](RunWorld& f) {
             const FileTimes& t = f.files.Find("C:\\t\\a.txt")->times;
             EXPECT_EQ(t.creation, 1000);
             EXPECT_EQ(t.lastAccess, 8888);
             EXPECT_EQ(t.lastWrite, 9999);
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RunWorld f;
        f.c.SearchReplaceLines = {"cat\tdog"};
        f.c.Replace = true;
        f.files.Add("C:\\t\\a.txt", "cat\r\n");
        k.arrange(f);
        f.host.searchResult = f.host.searchResult.empty() && !f.c.UseLastSearch
                                  ? std::vector<std::string>{"C:\\t\\a.txt"}
                                  : f.host.searchResult;
        ReplaceRun run(f.app.ctx, f.c, f.host, f.files);
        run.RunSearchReplace(false);
        k.check(f);
    }
}

// A writing run logs nothing per replacement, so a line with thousands of hits must let the
// windows (and Stop) in between its replacements by itself.
TEST_F(RunFixture, ALineWithThousandsOfHitsLetsTheWindowsIn) {
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    std::string line;
    for (int i = 0; i < 3000; ++i) line += "cat ";
    files.Add("C:\\t\\long.txt", line + "\r\n");
    RunOver(false, {"C:\\t\\long.txt"});
    EXPECT_EQ(files.Data("C:\\t\\long.txt").substr(0, 8), "dog dog ");
    EXPECT_GE(host.pumps, 3000);
}

TEST_F(RunFixture, FailuresAreLoggedAndTheRunGoesOn) {
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    c.Backup = true;
    for (const char* name : {"unreadable", "stuck", "nobackup", "nocommit", "fine"})
        files.Add(std::string("C:\\t\\") + name + ".txt", "cat\r\n");
    files.files[UpperCase("C:\\t\\stuck.txt")].attributes = kAttrReadOnly;
    files.unreadable.insert(UpperCase("C:\\t\\unreadable.txt"));
    files.stuckReadOnly.insert(UpperCase("C:\\t\\stuck.txt"));
    files.failBackup.insert(UpperCase("C:\\t\\nobackup.txt"));
    files.failCommit.insert(UpperCase("C:\\t\\nocommit.txt"));
    files.Add("C:\\t\\folder", "").attributes = kAttrDirectory;
    RunOver(false, {"C:\\t\\gone.txt", "C:\\t\\folder", "C:\\t\\unreadable.txt", "C:\\t\\stuck.txt",
                    "C:\\t\\nobackup.txt", "C:\\t\\nocommit.txt", "C:\\t\\fine.txt"});
    const std::vector<std::string> expected = {
        "0:00:00>[Logging to C:\\Logs\\replace.log]",
        "0:00:00>    !!Unable to read C:\\t\\unreadable.txt",
        "0:00:00>    !!Re-Write file: Unable to remove READ_ONLY on C:\\t\\stuck.txt",
        "0:00:00>    !!Re-Write file: Unable to create backup for C:\\t\\nobackup.txt",
        "0:00:00>    !!Re-Write file: Unable to replace C:\\t\\nocommit.txt",
        "0:00:00>    Replaced:C:\\t\\fine.txt\t(0 ms)",
        " ",
        "0:00:00>Finished!",
    };
    EXPECT_EQ(host.lines, expected);
    for (const char* name : {"unreadable", "stuck", "nobackup", "nocommit"}) {
        EXPECT_EQ(files.Data(std::string("C:\\t\\") + name + ".txt"), "cat\r\n") << name;
        EXPECT_EQ(files.Find(std::string("C:\\t\\") + name + ".txt.out"), nullptr) << name;
    }
    EXPECT_EQ(files.Data("C:\\t\\fine.txt"), "dog\r\n");
}

}  // namespace
}  // namespace lark
