#include "views/recent_documents.h"

#include <gtest/gtest.h>

#include "config/context.h"
#include "config/settings.h"
#include "support/test_app.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "views/fake_shell_services.h"
#include "views/shortcut.h"

namespace lark {
namespace {

constexpr const char* kAppExe = "C:\\App\\Larkspire.exe";

struct RecentFixture : ::testing::Test, TestApp {
    FakeShellServices shell;
    const std::string listFile = "C:\\Larkspire Data\\jdoe\\Recent files.idx";

    RecentFixture() : TestApp(kAppExe, "C:\\Recent") {
        settings.DataLocation = "C:\\Larkspire Data";
        fs.AddFolder("C:\\Recent");
        fs.AddFolder("C:\\App");
    }
    std::string FileText() { return fs.Find(listFile) ? fs.Find(listFile)->data : "<none>"; }
};

TEST_F(RecentFixture, StartupLoadReadsAnyLineEndAndWritesCrLf) {
    fs.AddFile("C:\\d\\a.doc");
    fs.AddFile("C:\\d\\b.doc");
    fs.AddFile("C:\\d\\c.doc");
    for (const char* text :
         {"C:\\d\\a.doc\rC:\\d\\b.doc\rC:\\d\\c.doc", "C:\\d\\a.doc\nC:\\d\\b.doc\nC:\\d\\c.doc\n",
          "C:\\d\\a.doc\r\nC:\\d\\b.doc\r\nC:\\d\\c.doc\r\n"}) {
        fs.AddFile(listFile, text);
        PathList recent;
        ASSERT_TRUE(LoadRecentDocuments(ctx, recent));
        EXPECT_EQ(recent, (PathList{"C:\\d\\a.doc", "C:\\d\\b.doc", "C:\\d\\c.doc"})) << text;
        ASSERT_TRUE(SaveRecentDocuments(ctx, recent));
        EXPECT_EQ(FileText(), "C:\\d\\a.doc\r\nC:\\d\\b.doc\r\nC:\\d\\c.doc\r\n");
    }
    EXPECT_EQ(PathListText({}), "");
}

TEST_F(RecentFixture, StartupCreatesMissingFileOrReportsFailure) {
    PathList recent{"stale"};
    ASSERT_TRUE(LoadRecentDocuments(ctx, recent));
    EXPECT_TRUE(recent.empty());
    EXPECT_EQ(FileText(), "");

    // An existing list that cannot be read is never replaced by an empty one.
    fs.AddFile(listFile, "C:\\kept.doc\r\n");
    fs.unreadablePaths.insert("C:\\LARKSPIRE DATA\\JDOE\\RECENT FILES.IDX");
    EXPECT_FALSE(LoadRecentDocuments(ctx, recent));
    EXPECT_EQ(messages.errors, std::vector<std::string>{"Cannot open file " + listFile});
    EXPECT_EQ(FileText(), "C:\\kept.doc\r\n");
    messages.errors.clear();

    fs.readOnlyPaths.insert("C:\\LARKSPIRE DATA\\BOB");
    ctx.userName = "bob";
    EXPECT_FALSE(LoadRecentDocuments(ctx, recent));
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0],
              "Unable to create the Recent Files file: C:\\Larkspire Data\\bob\\Recent files.idx");
}

TEST_F(RecentFixture, PruneDropsMissingThenOldestBeyondLimit) {
    struct Case {
        int limit;
        PathList expected;
        bool rewritten;
    } cases[] = {
        {0, {"C:\\d\\1.doc", "C:\\d\\2.doc", "C:\\d\\3.doc", "C:\\d\\4.doc", "C:\\d\\5.doc"}, true},
        {3, {"C:\\d\\3.doc", "C:\\d\\4.doc", "C:\\d\\5.doc"}, true},
        {-1,
         {"C:\\d\\1.doc", "C:\\d\\2.doc", "C:\\d\\3.doc", "C:\\d\\4.doc", "C:\\d\\5.doc"},
         true},
    };
    for (int i = 1; i <= 5; ++i) fs.AddFile("C:\\d\\" + std::to_string(i) + ".doc");
    fs.AddFolder("C:\\d\\folder.doc");
    for (const auto& c : cases) {
        settings.RecentEditDocs = c.limit;
        fs.AddFile(listFile, "unchanged");
        PathList recent{"C:\\d\\1.doc",      "",
                        "C:\\d\\2.doc",      "C:\\d\\gone.doc",
                        "C:\\d\\folder.doc", "C:\\d\\3.doc",
                        "C:\\d\\4.doc",      "C:\\d\\5.doc"};
        PruneRecentDocuments(ctx, recent);
        EXPECT_EQ(recent, c.expected) << c.limit;
        EXPECT_EQ(FileText() != "unchanged", c.rewritten);
    }
    // Nothing dropped: the file is left alone.
    settings.RecentEditDocs = 0;
    fs.AddFile(listFile, "unchanged");
    PathList recent{"C:\\d\\1.doc"};
    PruneRecentDocuments(ctx, recent);
    EXPECT_EQ(FileText(), "unchanged");
}

TEST_F(RecentFixture, ExclusionPatterns) {
    struct Case {
        const char* patterns;
        const char* path;
        bool excluded;
    } cases[] = {
        {"", "A:\\letter.doc", true},
        {"", "a:\\x\\y.doc", true},
        {"", "C:\\x\\a.tmp", false},
        {"*.tmp", "C:\\x\\A.TMP", true},
        {"*.tmp", "C:\\x\\a.tmp.doc", false},
        {"c:\\temp\\*", "C:\\Temp\\sub\\a.doc", true},
        {"c:\\temp\\*", "C:\\Temporary\\a.doc", false},
        {"*.bak;\"c:\\my files\\*\";*.tmp", "C:\\My Files\\a.doc", true},
        {"*.bak;'c:\\x;y\\*';*.tmp", "c:\\x;y\\a.doc", true},
        {"*.bak;'c:\\x;y\\*';*.tmp", "c:\\x\\a.tmp", true},
        {"report#.doc", "report12.doc", true},
        // An empty entry between two separators does not exclude everything.
        {"*.bak;;*.tmp", "C:\\x\\a.doc", false},
    };
    for (const auto& c : cases) {
        settings.ExcludeFromRecentEdits = c.patterns;
        EXPECT_EQ(IsExcludedFromRecent(settings, c.path), c.excluded)
            << c.patterns << " " << c.path;
    }
}

TEST_F(RecentFixture, AddAppendsOnlyNewExistingAdmittedFiles) {
    fs.AddFile(listFile);
    fs.AddFile("C:\\Docs\\Report.doc");
    fs.AddFile("C:\\Docs\\b.tmp");
    fs.AddFile("A:\\floppy.doc");
    fs.AddFolder("C:\\Docs\\Sub");
    settings.ExcludeFromRecentEdits = "*.tmp";
    PathList recent{"c:\\docs\\report.doc"};
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, "C:\\Docs\\Report.doc"));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, "A:\\floppy.doc"));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, "C:\\Docs\\b.tmp"));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, "C:\\Docs\\missing.doc"));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, "C:\\Docs\\Sub"));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, ""));
    EXPECT_EQ(FileText(), "");
    fs.AddFile("C:\\Docs\\new.txt");
    EXPECT_TRUE(AddToRecentDocuments(ctx, recent, "C:\\Docs\\new.txt"));
    EXPECT_EQ(FileText(), "c:\\docs\\report.doc\r\nC:\\Docs\\new.txt\r\n");
}

TEST_F(RecentFixture, ShortcutTargetIsTheRunEndingInTheShortcutName) {
    struct Case {
        std::string bytes;
        std::string target;
    } cases[] = {
        {std::string("L\0\0\0\x01\x14", 6) + "C:\\Docs\\report.doc" + std::string("\0\x10", 2) +
             "report.doc",
         "C:\\Docs\\report.doc"},
        {std::string("\x05  C:\\a\\report.doc \x00", 20), "C:\\a\\report.doc"},
        {"C:\\Docs\\REPORT.DOC\x01", ""},   // letter case must agree
        {"C:\\Docs\\report.docx\x01", ""},  // a longer name is another file
        {"\x01"
         "C:\\x\\other.doc",
         ""},  // a trailing run that names no file
        {"C:\\Docs\\report.doc", "C:\\Docs\\report.doc"},
        {"", ""},
    };
    for (const auto& c : cases) {
        fs.AddFile("C:\\Recent\\report.doc.lnk", c.bytes);
        EXPECT_EQ(ReadShortcutTarget(fs, "C:\\Recent\\report.doc.lnk"), c.target) << c.bytes;
    }
    EXPECT_EQ(ReadShortcutTarget(fs, "C:\\Recent\\missing.doc.lnk"), "");
}

TEST_F(RecentFixture, ImportTakesDocumentsAndEmptiesTheRecentFolder) {
    fs.AddFile(listFile);
    fs.AddFile("C:\\Docs\\report.doc");
    fs.AddFile("C:\\Docs\\Projects\\plan.txt");
    fs.AddFile("C:\\Recent\\report.doc.lnk",
               "\x01\x02"
               "C:\\Docs\\report.doc\x00\x03");
    fs.AddFile("C:\\Recent\\Projects.lnk",
               "\x01\x02"
               "C:\\Docs\\Projects\x00\x03");
    fs.AddFile("C:\\Recent\\desktop.ini", "[.ShellClassInfo]");
    fs.AddFile("C:\\Recent\\Larkspire.lks.lnk",
               "\x01\x02"
               "C:\\App\\Larkspire.lks\x00");
    PathList recent;
    EXPECT_TRUE(ImportRecentShortcuts(ctx, recent, shell));
    EXPECT_EQ(recent, PathList{"C:\\Docs\\report.doc"});
    EXPECT_EQ(FileText(), "C:\\Docs\\report.doc\r\n");
    EXPECT_FALSE(fs.Exists("C:\\Recent\\report.doc.lnk"));
    EXPECT_FALSE(fs.Exists("C:\\Recent\\Projects.lnk"));
    EXPECT_FALSE(fs.Exists("C:\\Recent\\desktop.ini"));
    EXPECT_TRUE(fs.Exists("C:\\Recent\\Larkspire.lks.lnk"));
    ASSERT_NE(fs.Find("C:\\App\\Larkspire.lks"), nullptr);
    EXPECT_EQ(shell.addedToRecent, std::vector<std::string>{"C:\\App\\Larkspire.lks"});

    // A second change with nothing new adds nothing.
    fs.AddFile("C:\\Recent\\report.doc.lnk",
               "\x01\x02"
               "C:\\Docs\\report.doc\x00\x03");
    EXPECT_FALSE(ImportRecentShortcuts(ctx, recent, shell));
    EXPECT_EQ(recent.size(), 1u);
}

TEST_F(RecentFixture, RenamedProgramKeepsItsOwnMarkerOutOfTheList) {
    ctx.exePath = "C:\\App\\Finder.exe";
    fs.AddFile(listFile);
    fs.AddFile("C:\\App\\Finder.lks");
    fs.AddFile("C:\\Recent\\Finder.lks.lnk",
               "\x01"
               "C:\\App\\Finder.lks\x00");
    PathList recent;
    EXPECT_FALSE(ImportRecentShortcuts(ctx, recent, shell));
    EXPECT_TRUE(recent.empty());
    EXPECT_TRUE(fs.Exists("C:\\Recent\\Finder.lks.lnk"));
}

TEST(RecentDerived, FoldersAndProgramsInOrderOfFirstUse) {
    PathList recent{"C:\\B\\x.doc",      "c:\\a\\y.doc", "C:\\A\\z.txt", "C:\\b\\w.c",
                    "C:\\B\\Sub\\v.doc", "D:\\root.doc", "noext",        "C:\\A\\p.xls"};
    EXPECT_EQ(BuildRecentFolders(recent), (PathList{"C:\\B", "c:\\a", "C:\\B\\Sub"}));

    FakeShellServices shell;
    shell.executableByExtension = {{"doc", " C:\\Office\\WINWORD.EXE "},
                                   {"txt", "notepad.exe"},
                                   {"c", "C:\\office\\winword.exe"},
                                   {"xls", "C:\\Office\\EXCEL.EXE"}};
    shell.searchPath = {{"notepad.exe", "C:\\Windows\\notepad.exe"}};
    EXPECT_EQ(
        BuildRecentPrograms(recent, shell),
        (PathList{"C:\\Office\\WINWORD.EXE", "C:\\Windows\\notepad.exe", "C:\\Office\\EXCEL.EXE"}));
    // One question per distinct extension: doc, txt, c, xls.
    EXPECT_EQ(shell.findCalls, 4);
}

}  // namespace
}  // namespace lark
