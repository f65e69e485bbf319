// The main window with its views, in this process: real files in a temporary folder, the
// registry and message boxes recorded.
#include <map>
#include <thread>

#include "app/main_window_win_test_support.h"
#include "index/index_format.h"
#include "search/criteria.h"

namespace lark {
namespace {

void SetModifiedTime(const std::string& path, const SYSTEMTIME& local) {
    SYSTEMTIME utc{};
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    FILETIME ft{};
    SystemTimeToFileTime(&utc, &ft);
    HANDLE file = CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &ft);
    CloseHandle(file);
}

// Noon of the day that many days before today, local time.
SYSTEMTIME DaysAgo(int days) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    now.wHour = 12;
    now.wMinute = now.wSecond = now.wMilliseconds = 0;
    FILETIME ft{};
    SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = ft.dwLowDateTime;
    ticks.HighPart = ft.dwHighDateTime;
    ticks.QuadPart -= uint64_t(days) * 864000000000ull;
    ft.dwLowDateTime = ticks.LowPart;
    ft.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME then{};
    FileTimeToSystemTime(&ft, &then);
    return then;
}

TEST_F(MainWindowViews, StartShowsTheRecentDocumentsNewestFirst) {
    std::string older = Doc("older.txt", 2019);
    std::string newer = Doc("newer.ini", 2024);
    RecentList("jdoe", {older, dir.Path("docs\\gone.txt"), newer});
    Start();
    EXPECT_EQ(Caption(), "Larkspire - <My Recent Documents>");
    EXPECT_EQ(Status(), "2 Object(s)");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"newer.ini", "older.txt"}));
    EXPECT_TRUE(messages.errors.empty());
    // The missing entry was pruned from the list file at start.
    EXPECT_EQ(wintree::ReadAll(dir.Path("Larkspire Data\\jdoe\\Recent files.idx")),
              older + "\r\n" + newer + "\r\n");

    // The catalogue and the selector name the view shown.
    HWND catalogue = Layout().coViews;
    int current = int(SendMessageW(catalogue, CB_GETCURSEL, 0, 0));
    ASSERT_GE(current, 0);
    wchar_t name[260] = L"";
    SendMessageW(catalogue, CB_GETLBTEXT, WPARAM(current), reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(Narrow(name), "<My Recent Documents>");

    // Selecting rows writes their paths into the open box.
    ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(TextOf(Layout().edOpen), newer + ";" + older);

    // A click on "Name" sorts A to Z; the same click again Z to A.
    NMLISTVIEW click{};
    click.hdr.hwndFrom = List();
    click.hdr.idFrom = kIdListView;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 0;
    SendMessageW(form->Handle(), WM_NOTIFY, kIdListView, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"newer.ini", "older.txt"}));
    SendMessageW(form->Handle(), WM_NOTIFY, kIdListView, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"older.txt", "newer.ini"}));
}

TEST_F(MainWindowViews, TypingANameInTheOpenBoxFiltersTheView) {
    std::string report = Doc("Report 2024.txt");
    std::string notes = Doc("notes.txt");
    RecentList("jdoe", {report, notes});
    Start();
    ASSERT_EQ(Rows().size(), 2u);
    // The edit control tells its parent of each change, as typing does.
    SetWindowTextW(Layout().edOpen, L"REP");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Report 2024.txt"}));
    EXPECT_EQ(Status(), "1 Object(s)");
    EXPECT_EQ(TextOf(Layout().edOpen), "REP");  // the typed text stays
    EXPECT_EQ(form->Views().Views().NameFilter, "rep");
    // A path never filters: the view keeps its filter.
    SetWindowTextW(Layout().edOpen, Widen(dir.Path("rep")).c_str());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Report 2024.txt"}));
    // Emptying the box shows everything again.
    SetWindowTextW(Layout().edOpen, L"");
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Caption(), "Larkspire - <My Recent Documents>");
}

TEST_F(MainWindowViews, OtherUsersListsFromTheCatalogueAndTheSelector) {
    std::string letter = Doc("letter.txt");
    std::string notes = Doc("notes.txt");
    RecentList("jdoe", {});
    RecentList("mary-jo", {letter, notes, dir.Path("docs\\missing.doc")});
    RecentList("bob", {dir.Path("docs\\missing.doc"), dir.Path("docs\\also gone.txt")});
    dir.Folder("Larkspire Data\\carl");  // a user without a list file
    Start();
    EXPECT_EQ(Status(), "0 Object(s)");

    struct Case {
        const char* view;
        const char* status;
    } cases[] = {
        {"<Mary-Jo's Recent Documents>", "2 Object(s)"},
        {"<Bob's Recent Documents>", "0 Object(s)"},  // only missing files
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        ChooseInCatalogue(c.view);
        EXPECT_EQ(Caption(), std::string("Larkspire - ") + c.view);
        EXPECT_EQ(Status(), c.status);
    }
    EXPECT_TRUE(messages.errors.empty());

    // The selector reaches the same list; its group entries change nothing.
    ChooseInSelector("My Recent Documents");
    EXPECT_EQ(Caption(), "Larkspire - <My Recent Documents>");
    ChooseInSelector("Mary-Jo's Recent Documents");
    EXPECT_EQ(Caption(), "Larkspire - <Mary-Jo's Recent Documents>");
    EXPECT_EQ(Status(), "2 Object(s)");
    ChooseInSelector("My Searches");
    EXPECT_EQ(Caption(), "Larkspire - <Mary-Jo's Recent Documents>");

    // A list that cannot be read abandons the command with the general error box.
    ChooseInCatalogue("<Carl's Recent Documents>");
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0],
              "Cannot open file " + dir.Path("Larkspire Data\\Carl\\Recent files.idx"));
}

TEST_F(MainWindowViews, ViewsButtonAndMenuToggleTheSidePanel) {
    dir.File("Larkspire Data\\jdoe\\Searches\\letters.lks", "");
    Start();
    HWND panel = Layout().sidePanel;
    auto panelShown = [&] { return (GetWindowLongW(panel, GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(Layout().CommandEnabled(kCmdShowViews));
    EXPECT_TRUE(Layout().CommandEnabled(kCmdHistory));
    EXPECT_TRUE(Layout().CommandEnabled(kCmdSearch));

    struct Step {
        const char* how;
        UINT id;
        bool fromButton;
        bool open;
    } steps[] = {
        {"tool bar button opens", kCmdShowViews, true, true},
        {"menu item closes", kCmdShowViews, false, false},
        {"menu item opens", kCmdShowViews, false, true},
        {"close button closes", kCmdCloseTreeView, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.how);
        Command(s.id, BN_CLICKED,
                s.id == kCmdCloseTreeView ? Layout().buCloseTreeview
                : s.fromButton            ? Layout().toolBar
                                          : nullptr);
        EXPECT_EQ(panelShown(), s.open);
        EXPECT_EQ(ViewBandShown(), !s.open);
        EXPECT_EQ(MenuChecked(kCmdShowViews), s.open);
        EXPECT_EQ(ButtonChecked(kCmdShowViews), s.open);
        EXPECT_FALSE(MenuChecked(kCmdHistory));
        EXPECT_FALSE(ButtonChecked(kCmdHistory));
    }

    // The tree lists the views; choosing one shows it, a group shows nothing new.
    Command(kCmdShowViews);
    HWND tree = Layout().tv;
    EXPECT_EQ(TextOf(Layout().sideTitle), " Views");
    std::vector<std::string> top;
    HTREEITEM lastSearch = nullptr, mySearches = nullptr;
    for (HTREEITEM item = TreeView_GetRoot(tree); item;
         item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[260] = L"";
        TVITEMW info{};
        info.mask = TVIF_TEXT;
        info.hItem = item;
        info.pszText = text;
        info.cchTextMax = 260;
        TreeView_GetItem(tree, &info);
        top.push_back(Narrow(text));
        if (top.back() == "Last Search") lastSearch = item;
        if (top.back() == "My Searches") mySearches = item;
    }
    EXPECT_EQ(top, (std::vector<std::string>{"My Recent Documents", "Last Search",
                                             "Template Documents", "Recent Folders",
                                             "Recent Programs", "Other Users Recent Documents",
                                             "My Searches", "Global Searches"}));
    ASSERT_TRUE(lastSearch && mySearches);
    TreeView_SelectItem(tree, lastSearch);
    EXPECT_EQ(Caption(), "Larkspire - <Search=\"\">");
    TreeView_SelectItem(tree, mySearches);
    EXPECT_EQ(Caption(), "Larkspire - <Search=\"\">");
    // Collapsing a group shows its closed picture.
    TreeView_Expand(tree, mySearches, TVE_COLLAPSE);
    NMTREEVIEWW collapsed{};
    collapsed.hdr.hwndFrom = tree;
    collapsed.hdr.idFrom = kIdTree;
    collapsed.hdr.code = TVN_ITEMEXPANDEDW;
    collapsed.action = TVE_COLLAPSE;
    collapsed.itemNew.hItem = mySearches;
    SendMessageW(form->Handle(), WM_NOTIFY, kIdTree, reinterpret_cast<LPARAM>(&collapsed));
    TVITEMW image{};
    image.mask = TVIF_IMAGE;
    image.hItem = mySearches;
    TreeView_GetItem(tree, &image);
    EXPECT_EQ(image.iImage, 7);
}

TEST_F(MainWindowViews, StylesRecentProgramsAndTheStoredStyle) {
    WriteOption(registry, "ViewStyle", "3");
    Start();
    EXPECT_EQ(ListStyle(), LVS_REPORT);
    auto styleChecked = [&](UINT id) {
        return (GetMenuState(Layout().viewStylePopup, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    EXPECT_TRUE(styleChecked(kCmdViewStyleDetails));

    // "<Recent Programs>" shows large icons; the next view the user's style again.
    ChooseInCatalogue("<Recent Programs>");
    EXPECT_EQ(Caption(), "Larkspire - <Recent Programs>");
    EXPECT_EQ(ListStyle(), LVS_ICON);
    ChooseInCatalogue("<My Recent Documents>");
    EXPECT_EQ(ListStyle(), LVS_REPORT);

    Command(kCmdViewStyleList);
    EXPECT_EQ(ListStyle(), LVS_LIST);
    EXPECT_TRUE(styleChecked(kCmdViewStyleList));
    EXPECT_FALSE(styleChecked(kCmdViewStyleDetails));

    // Exit stores the style for the next start.
    form->puExitClick();
    wintree::PumpUntil([&] { return !IsWindow(Layout().listView); }, 5000);
    EXPECT_EQ(ReadOption(registry, "ViewStyle", ""), "2");
}

TEST_F(MainWindowViews, SavedSearchesRunOverTheIndex) {
    std::string letter = Doc("letter.txt");
    Doc("invoice.txt");
    Start();
    // The index the builder would have written for the documents folder.
    std::string docs = dir.Path("docs");
    dir.File(
        "Larkspire Data\\All Users\\All files.idx",
        IndexHeaderLine(docs + ";", "") + "\r\n" + docs + "\\\r\nletter.txt\r\ninvoice.txt\r\n");
    SearchCriteria wanted;
    wanted.Keywords = "letter";
    std::string text = CriteriaFileText(wanted);
    dir.File("Larkspire Data\\jdoe\\Searches\\letters.lks", text);
    SearchCriteria other;
    other.Keywords = "invoice";
    std::string bad = CriteriaFileText(other);
    bad.replace(bad.find("PeriodUnits=-1"), 14, "PeriodUnits=x");
    dir.File("Larkspire Data\\jdoe\\Searches\\broken.lks", bad);
    // The catalogue is filled at start and after a search is saved.
    form->Views().Views().FillViewSelectors();

    ChooseInCatalogue("letters");
    EXPECT_EQ(Caption(), "Larkspire - <Search=\"letter\">");
    EXPECT_EQ(Rows(), std::vector<std::string>{"letter.txt"});
    EXPECT_EQ(form->Criteria().Keywords, "letter");
    EXPECT_TRUE(messages.errors.empty());
    EXPECT_FALSE(GetWindowLongW(Layout().progressPanel, GWL_STYLE) & WS_VISIBLE);

    ChooseInCatalogue("broken");
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], "'x' is not a valid integer value");
    // After the message nothing more happens: the view shown stays, with its criteria.
    EXPECT_EQ(Caption(), "Larkspire - <Search=\"letter\">");
    EXPECT_EQ(Rows(), std::vector<std::string>{"letter.txt"});
    EXPECT_EQ(form->Views().Views().CurrentViewName, "letters");
    EXPECT_EQ(form->Criteria().Keywords, "letter");
    wchar_t chosen[64] = L"";
    HWND catalogue = Layout().coViews;
    SendMessageW(catalogue, CB_GETLBTEXT, WPARAM(SendMessageW(catalogue, CB_GETCURSEL, 0, 0)),
                 reinterpret_cast<LPARAM>(chosen));
    EXPECT_EQ(Narrow(chosen), "letters");
}

// The open box is emptied as part of showing the next view; its change is no request of its
// own, which would show the previous view again (running its saved search) on the way.
TEST_F(MainWindowViews, ATypedFilterIsClearedAsPartOfShowingTheNextView) {
    Doc("letter.txt");
    Doc("invoice.txt");
    Doc("letter 2.txt");
    StartWithSearchDialog();
    std::string docs = dir.Path("docs");
    auto writeIndex = [&](const std::string& names) {
        dir.File("Larkspire Data\\All Users\\All files.idx",
                 IndexHeaderLine(docs + ";", "") + "\r\n" + docs + "\\\r\n" + names);
    };
    SearchCriteria letters;
    letters.Keywords = "letter";
    dir.File("Larkspire Data\\jdoe\\Searches\\letters.lks", CriteriaFileText(letters));
    form->Views().Views().FillViewSelectors();
    auto showLettersAndType = [&](const wchar_t* typed) {
        writeIndex("letter.txt\r\ninvoice.txt\r\n");
        ChooseInCatalogue("letters");
        ASSERT_EQ(Rows(), std::vector<std::string>{"letter.txt"});
        SetWindowTextW(Layout().edOpen, typed);
        // The index changes meanwhile: a search run again now would find more.
        writeIndex("letter.txt\r\ninvoice.txt\r\nletter 2.txt\r\n");
    };

    // Search (F3) while "inv" filters the saved search: the dialog starts with "inv".
    showLettersAndType(L"inv");
    ClickTray();
    std::thread([] {
        HWND dialog = nullptr;
        for (int i = 0; i < 1500 && !dialog; ++i, Sleep(10))
            dialog = FindWindowW(L"#32770", L"Search Parameters");
        if (dialog) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }).detach();
    PressKey(VK_F3);
    EXPECT_EQ(Caption(), "Larkspire - <Search=\"inv\">");
    EXPECT_EQ(Rows(), std::vector<std::string>{"invoice.txt"});
    EXPECT_EQ(form->Criteria().Keywords, "inv");
    EXPECT_EQ(TextOf(Layout().edOpen), "");

    // Another view chosen while a filter is typed: the last search's results as they were.
    struct Way {
        const char* how;
        std::function<void()> choose;
    } ways[] = {
        {"selector", [&] { ChooseInSelector("Last Search"); }},
        {"catalogue", [&] { ChooseInCatalogue("<Last Search>"); }},
        {"tree",
         [&] {
             Command(kCmdShowViews);
             TreeView_SelectItem(Layout().tv, TreeItem("Last Search"));
             Command(kCmdShowViews);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.how);
        showLettersAndType(L"let");
        way.choose();
        EXPECT_EQ(Caption(), "Larkspire - <Search=\"letter\">");
        EXPECT_EQ(Rows(), std::vector<std::string>{"letter.txt"});
        EXPECT_EQ(TextOf(Layout().edOpen), "");
        EXPECT_EQ(form->Views().Views().NameFilter, "");
    }
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MainWindowViews, RecentFolderChangeImportsTheShortcutsAndShowsTheListAgain) {
    std::string older = Doc("older.txt", 2019);
    std::string report = Doc("report.txt", 2024);
    RecentList("jdoe", {older});
    Start();
    EXPECT_EQ(Rows(), std::vector<std::string>{"older.txt"});
    // A shortcut holds its target's path among other bytes.
    dir.File("Recent\\report.txt.lnk",
             std::string("L\0\0\0\x14", 5) + report + std::string(3, '\0'));
    form->ImportRecentShortcuts();  // what the Recent-folder watch hands over
    EXPECT_EQ(Rows(), (std::vector<std::string>{"report.txt", "older.txt"}));
    EXPECT_EQ(Status(), "2 Object(s)");
    EXPECT_FALSE(fs.Exists(dir.Path("Recent\\report.txt.lnk")));
    EXPECT_TRUE(fs.IsFile(dir.Path("App\\Larkspire.lks")));
    EXPECT_EQ(wintree::ReadAll(dir.Path("Larkspire Data\\jdoe\\Recent files.idx")),
              older + "\r\n" + report + "\r\n");
}

TEST_F(MainWindowViews, HistoryTreeNarrowsTheListToTheChosenDays) {
    std::vector<std::string> docs;
    for (int days : {0, 3, 16, 45}) {
        std::string name = "day" + std::to_string(days) + ".txt";
        dir.File("docs\\" + name, "text");
        SetModifiedTime(dir.Path("docs\\" + name), DaysAgo(days));
        docs.push_back(dir.Path("docs\\" + name));
    }
    RecentList("jdoe", docs);
    Start();
    EXPECT_EQ(Status(), "4 Object(s)");

    // The tool bar's History button: the date tree beside the list, the View selector stays.
    Command(kCmdHistory, BN_CLICKED, Layout().toolBar);
    HWND panel = Layout().sidePanel;
    EXPECT_TRUE(GetWindowLongW(panel, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(TextOf(Layout().sideTitle), " History");
    EXPECT_TRUE(ViewBandShown());
    EXPECT_TRUE(MenuChecked(kCmdHistory));
    EXPECT_TRUE(ButtonChecked(kCmdHistory));
    EXPECT_FALSE(MenuChecked(kCmdShowViews));
    EXPECT_EQ(Status(), "4 Object(s)");  // nothing chosen yet: the list stays

    HWND tree = Layout().tv;
    std::map<std::string, HTREEITEM> groups;
    for (HTREEITEM item = TreeView_GetRoot(tree); item;
         item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[260] = L"";
        TVITEMW info{};
        info.mask = TVIF_TEXT;
        info.hItem = item;
        info.pszText = text;
        info.cchTextMax = 260;
        TreeView_GetItem(tree, &info);
        groups[Narrow(text)] = item;
        EXPECT_FALSE(TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED);
    }
    ASSERT_EQ(groups.size(), 5u);
    auto click = [&](const char* group, WPARAM keys) {
        RECT r{};
        ASSERT_TRUE(TreeView_GetItemRect(tree, groups.at(group), &r, TRUE));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        SendMessageW(tree, WM_LBUTTONUP, keys, at);
    };
    auto selected = [&] {
        std::vector<std::string> names;
        for (const char* g :
             {"This week", "Last week", "Week before last", "This Month", "Last Month"})
            if (TreeView_GetItemState(tree, groups.at(g), TVIS_SELECTED) & TVIS_SELECTED)
                names.push_back(g);
        return names;
    };
    using Names = std::vector<std::string>;
    struct Step {
        const char* what;
        const char* group;
        WPARAM keys;
        Names selected;
        Names rows;
    } steps[] = {
        {"a click chooses one group", "This week", 0, {"This week"}, {"day0.txt", "day3.txt"}},
        {"Ctrl adds a group",
         "Week before last",
         MK_CONTROL,
         {"This week", "Week before last"},
         {"day0.txt", "day3.txt", "day16.txt"}},
        {"Ctrl takes one away", "This week", MK_CONTROL, {"Week before last"}, {"day16.txt"}},
        {"a plain click starts again", "Last week", 0, {"Last week"}, {}},
        {"Shift chooses the range",
         "This week",
         MK_SHIFT,
         {"This week", "Last week"},
         {"day0.txt", "day3.txt"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        click(step.group, step.keys);
        EXPECT_EQ(selected(), step.selected);
        EXPECT_EQ(Rows(), step.rows);
        EXPECT_EQ(Status(), std::to_string(step.rows.size()) + " Object(s)");
        EXPECT_EQ(Caption(), "Larkspire - <My Recent Documents>");
    }

    // The menu item closes the tree and the whole view comes back.
    Command(kCmdHistory);
    EXPECT_FALSE(GetWindowLongW(panel, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(MenuChecked(kCmdHistory));
    EXPECT_EQ(Status(), "4 Object(s)");
}

TEST_F(MainWindowViews, PropertiesIsOfferedInTheFileAndTrayMenus) {
    Start();
    EXPECT_TRUE(Layout().CommandEnabled(kCmdProperties));
    EXPECT_FALSE(GetMenuState(Layout().fileMenu, kCmdProperties, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(Layout().trayPopup, kCmdProperties, MF_BYCOMMAND) & MF_GRAYED);
}

}  // namespace
}  // namespace lark
