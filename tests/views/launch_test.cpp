#include "views/launch.h"
#include "ui/help.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace lark {
namespace {

struct RecordingShell final : ShellExecutor {
    intptr_t Execute(const ShellRequest& r) override {
        calls.push_back(r.verb + "|" + r.target + "|" + r.folder);
        return result;
    }
    std::vector<std::string> calls;
    intptr_t result = 42;
};

struct LaunchFixture {
    FakeFileSystem fs;
    RecordingShell shell;
    std::vector<std::string> recent;
    std::string view = "<My Recent Documents>";
    int hides = 0;
    int marks = 0;
    LaunchHost host{shell, fs};

    LaunchFixture() {
        fs.AddFile("C:\\Docs\\a.txt");
        fs.AddFile("C:\\Docs\\b.doc");
        fs.AddFile("C:\\Docs\\semi;colon.txt");
        fs.AddFile("C:\\root.txt");
        fs.AddFolder("C:\\Music");
        host.hideWindow = [this] { ++hides; };
        host.markLaunch = [this] { ++marks; };
        host.addToRecentDocuments = [this](const std::string& p) { recent.push_back(p); };
        host.currentViewName = [this] { return view; };
    }
};

TEST(LaunchOpenBox, AsksTheShellForEachEntryAndNotesTheDocuments) {
    struct Case {
        const char* name;
        const char* verb;
        const char* box;
        std::vector<std::string> calls;
        std::vector<std::string> recent;
    };
    const Case cases[] = {
        {"web address whole, even with ;",
         "open",
         "www.example.org/a;b",
         {"open|www.example.org/a;b|"},
         {}},
        {"http address", "print", "HTTP://example.org", {"print|HTTP://example.org|"}, {}},
        {"https address", "open", "https://example.org", {"open|https://example.org|"}, {}},
        {"two files",
         "open",
         "C:\\Docs\\a.txt; C:\\Docs\\b.doc",
         {"open|C:\\Docs\\a.txt|C:\\Docs", "open|C:\\Docs\\b.doc|C:\\Docs"},
         {"C:\\Docs\\a.txt", "C:\\Docs\\b.doc"}},
        {"quoted entry holding ;",
         "open",
         "C:\\Docs\\a.txt; \"C:\\Docs\\semi;colon.txt\"",
         {"open|C:\\Docs\\a.txt|C:\\Docs", "open|C:\\Docs\\semi;colon.txt|C:\\Docs"},
         {"C:\\Docs\\a.txt", "C:\\Docs\\semi;colon.txt"}},
        {"print verb kept",
         "Print",
         "C:\\Docs\\a.txt",
         {"print|C:\\Docs\\a.txt|C:\\Docs"},
         {"C:\\Docs\\a.txt"}},
        {"containing folder of a file",
         "openpath",
         "C:\\Docs\\a.txt",
         {"open|C:\\Docs|C:\\Docs"},
         {"C:\\Docs"}},
        {"missing entry passed over",
         "open",
         "C:\\Docs\\gone.txt;C:\\Docs\\b.doc",
         {"open|C:\\Docs\\b.doc|C:\\Docs"},
         {"C:\\Docs\\b.doc"}},
        {"entries after an empty one ignored",
         "open",
         "C:\\Docs\\a.txt;;C:\\Docs\\b.doc",
         {"open|C:\\Docs\\a.txt|C:\\Docs"},
         {"C:\\Docs\\a.txt"}},
        {"folder entry takes the last working folder",
         "open",
         "C:\\Docs\\a.txt;C:\\Music",
         {"open|C:\\Docs\\a.txt|C:\\Docs", "open|C:\\Music|C:\\Docs"},
         {"C:\\Docs\\a.txt", "C:\\Music"}},
        {"file in a drive root works in the root",
         "open",
         "C:\\root.txt",
         {"open|C:\\root.txt|C:\\"},
         {"C:\\root.txt"}},
        {"empty box", "open", "", {}, {}},
    };
    for (const Case& c : cases) {
        LaunchFixture f;
        LaunchOpenBox(f.host, c.verb, c.box);
        EXPECT_EQ(f.shell.calls, c.calls) << c.name;
        EXPECT_EQ(f.recent, c.recent) << c.name;
        EXPECT_EQ(f.hides, 1) << c.name;
        // The launch time is noted before and after every successful launch.
        size_t launched = IsWebAddress(c.box) ? 0 : c.calls.size();
        EXPECT_EQ(f.marks, int(2 * launched)) << c.name;
    }
}

TEST(LaunchOpenBox, RecentListUntouchedOnFailureOrFromFolderAndProgramLists) {
    for (const char* view : {"<Recent Programs>", "<Recent Folders>"}) {
        LaunchFixture f;
        f.view = view;
        LaunchOpenBox(f.host, "open", "C:\\Docs\\a.txt");
        EXPECT_EQ(f.shell.calls.size(), 1u) << view;
        EXPECT_TRUE(f.recent.empty()) << view;
    }
    LaunchFixture f;
    f.shell.result = 2;  // file not found, as the shell says it
    LaunchOpenBox(f.host, "open", "C:\\Docs\\a.txt");
    EXPECT_EQ(f.shell.calls.size(), 1u);
    EXPECT_TRUE(f.recent.empty());
    EXPECT_EQ(f.marks, 1);
}

TEST(OpenBox, FiltersTheViewOnlyForTextWithoutBackslash) {
    struct Case {
        const char* text;
        const char* current;
        std::optional<std::string> filter;
    };
    const Case cases[] = {
        {"Rep", "", "rep"}, {"rep", "REP", std::nullopt}, {"c:\\rep", "", std::nullopt},
        {"", "rep", ""},    {"", "", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(OpenBoxFilterFor(c.text, c.current), c.filter) << c.text;
}

TEST(Browse, StartsInTheRememberedFolderAndRemembersTheNextOne) {
    FakeRegistry reg;
    std::string lastAttachDir;
    EXPECT_EQ(BrowseStartFolder(reg, lastAttachDir), "");
    RememberBrowsedFile(reg, lastAttachDir, "D:\\Mail\\Attach\\letter.doc");
    EXPECT_EQ(lastAttachDir, "D:\\Mail\\Attach");
    std::string freshStart;  // as after a restart
    EXPECT_EQ(BrowseStartFolder(reg, freshStart), "D:\\Mail\\Attach");
}

TEST(Help, PagesLieInTheHelpFolderBesideTheProgram) {
    EXPECT_EQ(HelpPagePath("C:\\Apps\\Larkspire.exe", kHelpTopicOverview),
              "C:\\Apps\\help\\index.html");
    EXPECT_EQ(HelpPagePath("C:\\Apps\\Larkspire.exe", kHelpTopicQueries),
              "C:\\Apps\\help\\queries.html");
    EXPECT_EQ(HelpPagePath("C:\\Apps\\Larkspire.exe", 999), "C:\\Apps\\help\\index.html");
}

}  // namespace
}  // namespace lark
