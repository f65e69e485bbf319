#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include "config/context.h"
#include "config/settings.h"
#include "base/text.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "views/fake_shell_services.h"
#include "views/recent_documents.h"
#include "platform/win32/shell_win.h"
#include "views/shortcut.h"
#include "views/views_win_test_support.h"

namespace lark {
namespace {

using test::Exists;
using test::MakeFolder;
using test::WriteFileBytes;

// A shell shortcut made the way the shell makes them.
bool MakeShellLink(const std::string& linkPath, const std::string& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(Widen(target).c_str()));
    IPersistFile* file = nullptr;
    if (ok && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        ok = SUCCEEDED(file->Save(Widen(linkPath).c_str(), TRUE));
        file->Release();
    } else {
        ok = false;
    }
    link->Release();
    return ok;
}

struct RecentOnDisk : ::testing::Test {
    test::TempDir temp;
    Win32FileSystem fs;
    FakeRegistry registry;
    FakeClock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,    clock,
                   messages, settings,    temp / "App\\Larkspire.exe",
                   "jdoe",   temp.Path(), temp / "Recent"};
    std::string docs = temp / "Docs";
    std::string listFile = temp / "Larkspire Data\\jdoe\\Recent files.idx";

    RecentOnDisk() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        settings.DataLocation = temp / "Larkspire Data";
        for (const char* folder : {"App", "Recent", "Docs", "Docs\\Projects"})
            MakeFolder(temp / folder);
    }
    ~RecentOnDisk() override { CoUninitialize(); }
    std::string Doc(const std::string& name) {
        std::string path = docs + "\\" + name;
        WriteFileBytes(path, "content");
        return path;
    }
    std::string ListText() { return fs.ReadWhole(listFile).value_or("<unreadable>"); }
};

TEST_F(RecentOnDisk, ListFileRoundTripWithAnyLineEnd) {
    std::string a = Doc("a.doc"), b = Doc("b.txt"), c = Doc("c.xls");
    for (std::string end : {"\r", "\n", "\r\n"}) {
        ASSERT_TRUE(fs.CreateFolder(temp / "Larkspire Data"));
        ASSERT_TRUE(fs.CreateFolder(temp / "Larkspire Data\\jdoe"));
        ASSERT_TRUE(WriteFileBytes(listFile, a + end + b + end + c));
        PathList recent;
        ASSERT_TRUE(LoadRecentDocuments(ctx, recent));
        EXPECT_EQ(recent, (PathList{a, b, c}));
        // Nothing was pruned, so the file keeps its own line ends until the next change.
        EXPECT_EQ(ListText(), a + end + b + end + c);
        std::string d = Doc("d.doc");
        EXPECT_TRUE(AddToRecentDocuments(ctx, recent, d));
        EXPECT_EQ(ListText(), a + "\r\n" + b + "\r\n" + c + "\r\n" + d + "\r\n");
        DeleteFileW(Widen(d).c_str());
    }
}

TEST_F(RecentOnDisk, StartupCreatesTheFileAndPrunes) {
    PathList recent;
    ASSERT_TRUE(LoadRecentDocuments(ctx, recent));
    EXPECT_TRUE(recent.empty());
    EXPECT_EQ(ListText(), "");

    std::string one = Doc("1.doc"), two = Doc("2.doc"), three = Doc("3.doc"), four = Doc("4.doc");
    ASSERT_TRUE(WriteFileBytes(listFile, one + "\r\n" + docs + "\\gone.doc\r\n\r\n" + docs +
                                             "\\Projects\r\n" + two + "\r\n" + three + "\r\n" +
                                             four + "\r\n"));
    settings.RecentEditDocs = 3;
    ASSERT_TRUE(LoadRecentDocuments(ctx, recent));
    EXPECT_EQ(recent, (PathList{two, three, four}));
    EXPECT_EQ(ListText(), two + "\r\n" + three + "\r\n" + four + "\r\n");

    settings.RecentEditDocs = 0;
    DeleteFileW(Widen(three).c_str());
    ASSERT_TRUE(LoadRecentDocuments(ctx, recent));
    EXPECT_EQ(recent, (PathList{two, four}));
}

TEST_F(RecentOnDisk, StartupFailsWhenTheFileCannotBeCreated) {
    // A file where the user's data folder should be blocks the list file.
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data"));
    ASSERT_TRUE(WriteFileBytes(temp / "Larkspire Data\\jdoe", "in the way"));
    PathList recent;
    EXPECT_FALSE(LoadRecentDocuments(ctx, recent));
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], "Unable to create the Recent Files file: " + listFile);
}

TEST_F(RecentOnDisk, ExclusionAndAdmission) {
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data"));
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data\\jdoe"));
    std::string kept = Doc("kept.doc"), scratch = Doc("scratch.tmp"), quoted = Doc("x;y.doc");
    settings.ExcludeFromRecentEdits = "*.tmp;\"" + LowerCase(docs) + "\\x;y.doc\"";
    PathList recent;
    EXPECT_TRUE(IsExcludedFromRecent(settings, "A:\\report.doc"));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, scratch));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, quoted));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, docs + "\\Projects"));
    EXPECT_TRUE(AddToRecentDocuments(ctx, recent, kept));
    EXPECT_FALSE(AddToRecentDocuments(ctx, recent, UpperCase(kept)));
    EXPECT_EQ(recent, PathList{kept});
}

TEST_F(RecentOnDisk, ImportKeepsOnlyTheMarkerShortcut) {
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data"));
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data\\jdoe"));
    std::string report = Doc("report.doc");
    std::string recentFolder = temp / "Recent";
    ASSERT_TRUE(MakeShellLink(recentFolder + "\\report.doc.lnk", report));
    ASSERT_TRUE(MakeShellLink(recentFolder + "\\Projects.lnk", docs + "\\Projects"));
    ASSERT_TRUE(WriteFileBytes(recentFolder + "\\desktop.ini", "[.ShellClassInfo]\r\n"));
    ASSERT_TRUE(WriteFileBytes(recentFolder + "\\Larkspire.lks.lnk",
                               std::string("\x01\x00", 2) + temp.Path() + "\\App\\Larkspire.lks"));
    EXPECT_TRUE(
        SameTextIgnoringCase(ReadShortcutTarget(fs, recentFolder + "\\report.doc.lnk"), report));

    FakeShellServices shell;
    PathList recent;
    EXPECT_TRUE(ImportRecentShortcuts(ctx, recent, shell));
    ASSERT_EQ(recent.size(), 1u);
    EXPECT_TRUE(SameTextIgnoringCase(recent[0], report));
    EXPECT_FALSE(Exists(recentFolder + "\\report.doc.lnk"));
    EXPECT_FALSE(Exists(recentFolder + "\\Projects.lnk"));
    EXPECT_FALSE(Exists(recentFolder + "\\desktop.ini"));
    EXPECT_TRUE(Exists(recentFolder + "\\Larkspire.lks.lnk"));
    EXPECT_TRUE(Exists(temp / "App\\Larkspire.lks"));
    EXPECT_EQ(shell.addedToRecent, std::vector<std::string>{temp / "App\\Larkspire.lks"});
    EXPECT_EQ(ListText(), std::string(recent[0]) + "\r\n");
}

TEST_F(RecentOnDisk, DerivedFoldersAndProgramsInOrder) {
    std::string a = Doc("a.txt"), b = Doc("Projects\\b.zzq"), c = Doc("c.txt"), d = Doc("d.doc");
    PathList recent{a, b, c, d};
    EXPECT_EQ(BuildRecentFolders(recent), (PathList{docs, docs + "\\Projects"}));

    FakeShellServices shell;
    shell.executableByExtension = {{"txt", "notepad.exe"}, {"doc", "C:\\Office\\winword.exe"}};
    Win32ShellServices system;
    shell.searchPath = {{"notepad.exe", system.FindOnSearchPath("notepad.exe")}};
    ASSERT_FALSE(shell.searchPath["notepad.exe"].empty());
    EXPECT_EQ(BuildRecentPrograms(recent, shell),
              (PathList{shell.searchPath["notepad.exe"], "", "C:\\Office\\winword.exe"}));
}

// A document type of this test's own, opened by the text editor, registered for the
// machine (Wine looks up associations there only).
struct TestDocumentType {
    TestDocumentType() {
        Win32Registry reg;
        reg.Write(RegistryRoot::ClassesRoot, ".lkvtest", "", "lkvtestfile");
        reg.Write(RegistryRoot::ClassesRoot, "lkvtestfile\\shell\\open\\command", "",
                  "notepad.exe \"%1\"");
    }
    ~TestDocumentType() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lkvtest");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"lkvtestfile");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\.lkvtest");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\lkvtestfile");
    }
};

TEST_F(RecentOnDisk, SystemShellFindsTheProgramOfADocument) {
    TestDocumentType type;
    Win32ShellServices shell;
    std::string doc = Doc("note.lkvtest");
    PathList programs = BuildRecentPrograms({doc, Doc("other.lkvtest")}, shell);
    ASSERT_EQ(programs.size(), 1u);
    EXPECT_TRUE(EndsWithIgnoringCase(programs[0], "notepad.exe")) << programs[0];
    EXPECT_TRUE(Exists(std::string(programs[0]))) << programs[0];
    EXPECT_EQ(shell.AssociatedProgram(docs + "\\none.unknownext"), "");
    EXPECT_EQ(shell.FindOnSearchPath(""), "");
    EXPECT_EQ(shell.FindOnSearchPath("no-such-program-here.exe"), "");
}

TEST_F(RecentOnDisk, AListOf100000MissingFilesKeepsTheDocumentsThatExist) {
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data"));
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data\\jdoe"));
    const std::string first = Doc("first.doc"), middle = Doc("middle.doc"), last = Doc("last.doc");
    std::string text = first + "\r\n";
    for (int i = 0; i < 100000; ++i) {
        text += docs + "\\gone\\missing-" + std::to_string(i) + ".doc\r\n";
        if (i == 50000) text += middle + "\r\n";
    }
    text += last + "\r\n";
    ASSERT_TRUE(WriteFileBytes(listFile, text));
    PathList recent;
    ASSERT_TRUE(LoadRecentDocuments(ctx, recent));
    EXPECT_EQ(recent, (PathList{first, middle, last}));
    EXPECT_EQ(ListText(), first + "\r\n" + middle + "\r\n" + last + "\r\n");
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(RecentOnDisk, ATruncatedShortcutNamesItsWholeTargetOrNothing) {
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data"));
    ASSERT_TRUE(MakeFolder(temp / "Larkspire Data\\jdoe"));
    const std::string report = Doc("report.doc");
    const std::string link = temp / "Recent\\report.doc.lnk";
    ASSERT_TRUE(MakeShellLink(link, report));
    const std::string whole = fs.ReadWhole(link).value_or("");
    ASSERT_GT(whole.size(), 76u);  // the fixed header of a shortcut

    // Every length from nothing to the whole file: the header cut short, the item list cut
    // short, the path cut in the middle of its name.
    size_t firstFound = 0;
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        ASSERT_TRUE(WriteFileBytes(link, whole.substr(0, cut)));
        const std::string target = ReadShortcutTarget(fs, link);
        if (target.empty()) continue;
        EXPECT_TRUE(SameTextIgnoringCase(target, report)) << cut << ": " << target;
        if (!firstFound) firstFound = cut;
    }
    EXPECT_GT(firstFound, 76u);

    // At start-up the truncated one is dropped with the rest of the folder, the whole one
    // imported.
    ASSERT_TRUE(WriteFileBytes(link, whole.substr(0, 40)));
    const std::string other = Doc("other.doc");
    ASSERT_TRUE(MakeShellLink(temp / "Recent\\other.doc.lnk", other));
    FakeShellServices shell;
    PathList recent;
    EXPECT_TRUE(ImportRecentShortcuts(ctx, recent, shell));
    ASSERT_EQ(recent.size(), 1u);
    EXPECT_TRUE(SameTextIgnoringCase(recent[0], other));
    EXPECT_FALSE(Exists(link));
    EXPECT_TRUE(messages.errors.empty());
}

}  // namespace
}  // namespace lark
