#include "views/view_controller.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/date_time.h"
#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "support/test_app.h"
#include "views/fake_shell_services.h"
#include "views/fake_view_host.h"

namespace lark {
namespace {

constexpr const char* kAppExe = "C:\\App\\Larkspire.exe";

struct ControllerFixture : ::testing::Test, TestApp {
    FakeShellServices shell;
    FakeViewHost host;
    FakeSearchRunner search;
    ViewController views{ctx, host, shell, search};
    const std::string data = "C:\\Larkspire Data\\";

    ControllerFixture() : TestApp(kAppExe, "C:\\Recent") {
        settings.DataLocation = "C:\\Larkspire Data";
        fs.AddFolder(data + "jdoe");
        fs.AddFolder("C:\\App");
        fs.AddFolder("C:\\Recent");
    }
    std::vector<std::string> RowPaths() {
        std::vector<std::string> out;
        for (size_t i = 0; i < views.Items.Count(); ++i)
            out.push_back(views.Items.ItemAt(i).Path());
        return out;
    }
    void ExpectSettled() {
        EXPECT_EQ(host.updateDepth, 0);
        EXPECT_EQ(host.busyDepth, 0);
    }
};

TEST_F(ControllerFixture, RecentDocumentsShowExistingFilesNewestFirst) {
    fs.AddFile("C:\\d\\old.doc").writeTimeLocal = 130000000000000000;
    fs.AddFile("C:\\d\\new.doc").writeTimeLocal = 133000000000000000;
    fs.AddFolder("C:\\d\\folder.doc");
    views.RecentDocuments = {"C:\\d\\old.doc",    "C:\\d\\gone.doc", "C:\\d\\new.doc",
                             "C:\\d\\folder.doc", "C:\\d\\bad?.doc", ""};
    views.FillViewSelectors();
    host.openBox = "typed";
    views.ShowView("<My Recent Documents>");
    EXPECT_EQ(RowPaths(), (std::vector<std::string>{"C:\\d\\new.doc", "C:\\d\\old.doc"}));
    EXPECT_EQ(host.status, "2 Object(s)");
    EXPECT_EQ(host.rowCount, 2u);
    EXPECT_EQ(host.caption, "Larkspire - <My Recent Documents>");
    EXPECT_EQ(host.openBox, "");
    EXPECT_EQ(host.selectedName, "<My Recent Documents>");
    EXPECT_EQ(host.selectedSelector, "My Recent Documents");
    EXPECT_EQ(host.searchMenuEnables, 1);
    ExpectSettled();

    views.RecentDocuments = {"C:\\d\\gone.doc", "C:\\x\\missing.txt"};
    views.ShowFixedView("My Recent Documents");
    EXPECT_EQ(host.status, "0 Object(s)");
    EXPECT_EQ(host.rowCount, 0u);
}

TEST_F(ControllerFixture, SavedSearchIsFilteredWithoutSearchingAgain) {
    fs.AddFile("C:\\w\\report.doc");
    fs.AddFile("C:\\w\\Reply.txt");
    fs.AddFile("C:\\w\\plan.doc");
    search.loadable = {data + "jdoe\\Searches\\Letters.lks"};
    search.results = {"C:\\w\\report.doc", "C:\\w\\Reply.txt", "C:\\w\\plan.doc", "C:\\w"};
    host.keywords = "*.doc";
    views.ShowView("Letters");
    EXPECT_EQ(search.searches, 1);
    EXPECT_EQ(host.status, "3 Object(s)");
    EXPECT_EQ(host.caption, "Larkspire - <Search=\"*.doc\">");

    host.openBox = "REP";
    views.ShowView("Letters", "REP");
    EXPECT_EQ(search.searches, 1);
    EXPECT_EQ(host.status, "2 Object(s)");
    EXPECT_EQ(host.openBox, "REP");  // the typed text stays
    EXPECT_EQ(views.NameFilter, "rep");

    host.openBox = "";
    views.ShowView("Letters", "");
    EXPECT_EQ(search.searches, 2);
    EXPECT_EQ(host.status, "3 Object(s)");

    // A filter that differs from the open box empties the box.
    host.openBox = "something else";
    views.ShowView("Letters", "pla");
    EXPECT_EQ(host.openBox, "");
    EXPECT_EQ(host.status, "1 Object(s)");
}

// The open box reports every change, the emptying that showing a view does included; that
// one is part of the showing and must not show (and search) the previous view again.
TEST_F(ControllerFixture, ShowingAViewWhileAFilterIsTypedIsOneRequest) {
    fs.AddFile("C:\\w\\report.doc");
    fs.AddFile("C:\\w\\plan.doc");
    const std::string letters = data + "jdoe\\Searches\\Letters.lks";
    const std::string broken = data + "jdoe\\Searches\\Broken.lks";
    search.loadable = {letters, broken};
    search.broken = {broken};
    search.results = {"C:\\w\\report.doc", "C:\\w\\plan.doc"};
    host.openBoxChanged = [&](const std::string& text) { views.edOpenChange(text); };
    views.FillViewSelectors();
    views.ShowView("Letters");
    host.SetOpenBoxText("REP");  // typed
    EXPECT_EQ(host.status, "1 Object(s)");
    EXPECT_EQ(views.NameFilter, "rep");
    host.SetOpenBoxText(R"(C:\w\report.doc)");  // a selection never filters
    EXPECT_EQ(views.NameFilter, "rep");
    host.SetOpenBoxText("rep");

    views.ShowView("<Last Search>");
    EXPECT_EQ(search.loaded, std::vector<std::string>{letters});
    EXPECT_EQ(search.searches, 1);
    EXPECT_EQ(host.openBox, "");
    EXPECT_EQ(views.NameFilter, "");
    EXPECT_EQ(host.status, "2 Object(s)");
    ExpectSettled();

    // A file that breaks off with a message shows nothing: the view stays as it was.
    host.keywords = "*.doc";
    const std::string caption = host.caption;
    host.selectedName = "Broken";  // what the user chose
    views.ShowView("Broken");
    EXPECT_EQ(search.loaded, (std::vector<std::string>{letters, broken}));
    EXPECT_EQ(search.searches, 1);
    EXPECT_EQ(views.CurrentViewName, "<Last Search>");
    EXPECT_EQ(host.caption, caption);
    EXPECT_EQ(host.status, "2 Object(s)");
    EXPECT_EQ(host.selectedName, "<Last Search>");
    ExpectSettled();
}

TEST_F(ControllerFixture, UnreadableSavedSearchKeepsThePreviousList) {
    fs.AddFile("C:\\d\\a.doc");
    views.RecentDocuments = {"C:\\d\\a.doc"};
    views.ShowView("<My Recent Documents>");
    host.keywords = "kw";
    views.ShowView("Forms\xC2\xA7");
    EXPECT_EQ(search.loaded, std::vector<std::string>{data + "All Users\\Searches\\Forms.lks"});
    EXPECT_EQ(search.searches, 0);
    EXPECT_EQ(views.CurrentViewName, "Forms\xC2\xA7");
    EXPECT_EQ(views.CurrentViewList, &views.RecentDocuments);
    EXPECT_EQ(host.status, "1 Object(s)");
    EXPECT_EQ(host.caption, "Larkspire - <Search=\"kw\">");
}

TEST_F(ControllerFixture, RecentProgramsShowLargeIconsOnly) {
    fs.AddFile("C:\\d\\a.doc");
    fs.AddFile("C:\\Office\\WINWORD.EXE");
    shell.executableByExtension = {{"doc", "C:\\Office\\WINWORD.EXE"}};
    views.RecentDocuments = {"C:\\d\\a.doc"};
    views.ApplyViewStyle(kStyleDetails);
    views.ShowView("<Recent Programs>");
    EXPECT_EQ(host.listStyle, kStyleLargeIcons);
    EXPECT_EQ(views.ViewStyleIndex, kStyleDetails);
    EXPECT_TRUE(views.ShowingRecentPrograms());
    EXPECT_EQ(RowPaths(), std::vector<std::string>{"C:\\Office\\WINWORD.EXE"});
    views.ShowView("<My Recent Documents>");
    EXPECT_EQ(host.listStyle, kStyleDetails);
    EXPECT_FALSE(views.ShowingRecentPrograms());
}

// Counts the questions a view load asks the file system.
class CountingFileSystem final : public FileSystem {
  public:
    explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}
    int stats = 0, others = 0;
    std::optional<FileInfo> Stat(std::string_view p) override {
        ++stats;
        return inner_.Stat(p);
    }
    bool List(std::string_view f, const std::function<void(const FileInfo&)>& each) override {
        ++others;
        return inner_.List(f, each);
    }
    std::optional<std::string> ReadWhole(std::string_view p) override {
        ++others;
        return inner_.ReadWhole(p);
    }
    bool WriteWhole(std::string_view p, std::string_view d) override {
        ++others;
        return inner_.WriteWhole(p, d);
    }
    bool Append(std::string_view p, std::string_view d) override { return inner_.Append(p, d); }
    bool CreateFolder(std::string_view p) override { return inner_.CreateFolder(p); }
    bool RemoveFile(std::string_view p) override { return inner_.RemoveFile(p); }
    bool Rename(std::string_view a, std::string_view b) override { return inner_.Rename(a, b); }

  private:
    FileSystem& inner_;
};

TEST_F(ControllerFixture, OneFileSystemQueryPerListedPath) {
    CountingFileSystem counting(fs);
    AppContext countingCtx{counting,    registry,     clock,          messages,        settings,
                           ctx.exePath, ctx.userName, ctx.tempFolder, ctx.recentFolder};
    ViewController counted(countingCtx, host, shell, search);
    fs.AddFile("C:\\d\\a.doc");
    fs.AddFile("C:\\d\\b.doc");
    fs.AddFolder("C:\\d\\sub");
    counted.LastSearchResults = {"C:\\d\\a.doc", "C:\\d\\b.doc", "C:\\d\\sub", "C:\\d\\gone.doc",
                                 "C:\\d\\bad|name.doc"};
    counted.ShowView("<Last Search>");
    EXPECT_EQ(host.status, "2 Object(s)");
    EXPECT_EQ(counting.stats, 4);  // the invalid name is never looked up
    EXPECT_EQ(counting.others, 0);
    counting.stats = 0;
    counted.ShowView("<Last Search>", "a.");
    EXPECT_EQ(counting.stats, 1);  // a typed filter is applied before the lookup
    EXPECT_EQ(host.status, "1 Object(s)");
    EXPECT_TRUE(counted.LabelEditAllowed());
    counted.ShowView("<Recent Programs>");
    EXPECT_FALSE(counted.LabelEditAllowed());
}

TEST_F(ControllerFixture, ViewStyleOptionRoundTrip) {
    views.LoadViewStyleOption();
    EXPECT_EQ(views.ViewStyleIndex, kStyleLargeIcons);
    for (const char* bad : {"9", "x", "-1"}) {
        registry.Write(RegistryRoot::CurrentUser, "Software\\Brannock\\Larkspire\\Options",
                       "ViewStyle", bad);
        views.LoadViewStyleOption();
        EXPECT_EQ(views.ViewStyleIndex, kStyleLargeIcons) << bad;
    }
    views.ApplyViewStyle(kStyleList);
    views.SaveViewStyleOption();
    views.ViewStyleIndex = 0;
    views.LoadViewStyleOption();
    EXPECT_EQ(views.ViewStyleIndex, kStyleList);
    EXPECT_EQ(host.listStyle, kStyleList);
}

TEST_F(ControllerFixture, FolderTemplateAndOtherUserViews) {
    fs.AddFile("C:\\Docs\\a.doc");
    fs.AddFile("C:\\Docs\\Sub\\b.doc");
    views.RecentDocuments = {"C:\\Docs\\a.doc", "C:\\Docs\\Sub\\b.doc", "C:\\Gone\\c.doc"};
    views.ShowView("<Recent Folders>");
    // Folders are listed as rows that stand for the folders themselves; the missing one is not.
    EXPECT_EQ(RowPaths().size(), 2u);
    EXPECT_EQ(views.Items.ItemAt(0).Attributes & kAttrDirectory, kAttrDirectory);

    fs.AddFile(data + "jdoe\\Template\\Letter.dot");
    fs.AddFolder(data + "jdoe\\Template\\Sub");
    fs.AddFile(data + "All Users\\Template\\Memo.dot");
    views.ShowFixedView("Template Documents");
    EXPECT_EQ(host.status, "2 Object(s)");
    EXPECT_EQ(views.TemplateDocuments.size(), 3u);

    fs.AddFile(data + "mary\\Recent files.idx", "C:\\Docs\\a.doc\rC:\\Gone\\c.doc\r");
    views.ShowView("<Mary's Recent Documents>");
    EXPECT_EQ(RowPaths(), std::vector<std::string>{"C:\\Docs\\a.doc"});
    EXPECT_EQ(host.caption, "Larkspire - <Mary's Recent Documents>");

    EXPECT_THROW(views.ShowView("<Nobody's Recent Documents>"), std::runtime_error);
    ExpectSettled();
}

TEST_F(ControllerFixture, SelectorTreeAndSidePanel) {
    fs.AddFile("C:\\d\\a.doc");
    fs.AddFolder(data + "bob");
    fs.AddFile(data + "bob\\Recent files.idx", "C:\\d\\a.doc\r\n");
    views.RecentDocuments = {"C:\\d\\a.doc"};
    views.FillViewSelectors();
    views.ShowView("<My Recent Documents>");

    // Group entries change nothing.
    host.caption = "unchanged";
    views.coViews2Change("My Searches", 0);
    views.coViews2Change("Other Users Recent Documents", 0);
    EXPECT_EQ(host.caption, "unchanged");
    views.coViews2Change("Bob's Recent Documents", 2);
    EXPECT_EQ(host.caption, "Larkspire - <Bob's Recent Documents>");
    EXPECT_EQ(host.selectedName, "<Bob's Recent Documents>");
    EXPECT_EQ(host.selectedSelector, "Bob's Recent Documents");
    views.coViewsChange("<Recent Folders>");
    EXPECT_EQ(views.CurrentViewName, "<Recent Folders>");

    // The tree answers only while it shows the views.
    views.tvChange("Last Search", "");
    EXPECT_EQ(views.CurrentViewName, "<Recent Folders>");
    views.buViewsClick();
    EXPECT_TRUE(host.panelOpen);
    EXPECT_EQ(host.panelTitle, "Views");
    EXPECT_TRUE(host.viewsChecked);
    ASSERT_EQ(host.tree.size(), 8u);
    EXPECT_EQ(host.tree[5].children.size(), 1u);
    host.caption = "unchanged";
    views.tvChange("Global Searches", "");
    EXPECT_EQ(host.caption, "unchanged");
    views.tvChange("Last Search", "");
    EXPECT_EQ(views.CurrentViewName, "<Last Search>");
    views.mnuShowViewsClick();
    EXPECT_FALSE(host.panelOpen);
    EXPECT_FALSE(host.viewsChecked);

    // Closing the panel in history mode reloads the current view without its selection.
    views.HistoryMode = true;
    views.InHistorySelection = [](double) { return false; };
    views.ShowView("<My Recent Documents>");
    EXPECT_EQ(host.status, "0 Object(s)");
    views.buCloseTreeViewClick();
    EXPECT_FALSE(views.HistoryMode);
    EXPECT_EQ(host.status, "1 Object(s)");
}

TEST_F(ControllerFixture, HistoryTreeFiltersTheShownViewByTheChosenDays) {
    clock.now = EncodeDateTime({2021, 3, 10, 9, 30, 0, 0});  // Wednesday 10 March
    auto fileOn = [&](const char* path, int month, int day, int hour) {
        const double at = EncodeDateTime({2021, month, day, hour, 0, 0, 0});
        fs.AddFile(path).writeTimeLocal = int64_t((at + 109205.0) * 864000000000.0);
    };
    fileOn("C:\\d\\today.doc", 3, 10, 8);
    fileOn("C:\\d\\monday.doc", 3, 8, 23);
    fileOn("C:\\d\\february.doc", 2, 1, 10);
    views.RecentDocuments = {"C:\\d\\today.doc", "C:\\d\\monday.doc", "C:\\d\\february.doc"};
    auto node = [&](const char* caption) {
        for (size_t i = 0; i < views.HistoryNodes.size(); ++i)
            if (views.HistoryNodes[i].caption == caption) return i;
        ADD_FAILURE() << caption;
        return size_t(0);
    };
    views.ShowView("<My Recent Documents>");

    // From Views mode the History button closes the Views tree first; the selector stays.
    views.buViewsClick();
    views.buHistoryClick();
    EXPECT_TRUE(views.HistoryMode && !views.ViewsMode && host.historyChecked);
    EXPECT_EQ(host.panelTitle, "History");
    EXPECT_FALSE(host.selectorHidden);
    ASSERT_EQ(host.historyTree.size(), 26u);
    EXPECT_EQ(host.status, "3 Object(s)");  // not reloaded until a day is chosen
    views.HistorySelectionChange({node("Today"), node("Last Month")});
    EXPECT_EQ(RowPaths(), (std::vector<std::string>{"C:\\d\\today.doc", "C:\\d\\february.doc"}));
    EXPECT_EQ(host.status, "2 Object(s)");
    EXPECT_EQ(host.caption, "Larkspire - <My Recent Documents>");

    // The filter goes with the panel; the days stay for the next time the tree opens.
    views.HistorySelectionChange({node("Yesterday")});
    EXPECT_EQ(host.status, "0 Object(s)");
    views.mnuHistoryClick();
    EXPECT_FALSE(views.HistoryMode);
    EXPECT_FALSE(host.panelOpen);
    EXPECT_EQ(host.status, "3 Object(s)");
    views.buHistoryClick();
    views.ShowView("<My Recent Documents>");
    EXPECT_EQ(host.status, "0 Object(s)");

    // Opening the Views tree leaves History mode without reloading; the next load is whole.
    views.buViewsClick();
    EXPECT_FALSE(views.HistoryMode);
    EXPECT_TRUE(host.selectorHidden);
    EXPECT_EQ(host.status, "0 Object(s)");
    views.ShowView("<My Recent Documents>");
    EXPECT_EQ(host.status, "3 Object(s)");
    views.HistorySelectionChange({node("Today")});  // heard only in History mode
    EXPECT_EQ(host.status, "3 Object(s)");
}

TEST_F(ControllerFixture, RecentFolderChangeImportsAndRefreshesTheRecentView) {
    fs.AddFile(data + "jdoe\\Recent files.idx");
    fs.AddFile("C:\\d\\a.doc");
    fs.AddFile("C:\\d\\b.doc");
    views.RecentDocuments = {"C:\\d\\a.doc"};
    views.ShowView("<My Recent Documents>", "");
    fs.AddFile("C:\\Recent\\b.doc.lnk",
               "\x01"
               "C:\\d\\b.doc\x01");
    views.RecentFolderChanged();
    EXPECT_EQ(host.waitedMs, 250u);
    EXPECT_EQ(host.status, "2 Object(s)");
    EXPECT_EQ(shell.addedToRecent, std::vector<std::string>{"C:\\App\\Larkspire.lks"});

    views.ShowView("<Last Search>");
    fs.AddFile("C:\\d\\c.doc");
    fs.AddFile("C:\\Recent\\c.doc.lnk",
               "\x01"
               "C:\\d\\c.doc\x01");
    views.RecentFolderChanged();
    EXPECT_EQ(views.RecentDocuments.size(), 3u);
    EXPECT_EQ(views.CurrentViewName, "<Last Search>");
    EXPECT_EQ(host.status, "0 Object(s)");
}

}  // namespace
}  // namespace lark
