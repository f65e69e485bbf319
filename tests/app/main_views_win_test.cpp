// The main window with its views, in this process: real files in a temporary folder, the
// registry and message boxes recorded.
#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids_win.h"
#include "config/context.h"
#include "app/main_frame_win.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "config/registry_helpers.h"
#include "config/settings.h"
#include "index/index_format.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "search/criteria.h"
#include "support/win_tree_helpers.h"

namespace lark {
namespace {

using wintree::TempTree;

std::string TextOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    GetWindowTextW(hwnd, text, 1024);
    return Narrow(text);
}

std::string StatusOf(HWND statusBar) {
    wchar_t text[256] = L"";
    SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

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

void SetModifiedYear(const std::string& path, WORD year) {
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = 6;
    st.wDay = 1;
    st.wHour = 12;
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    HANDLE file = CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &ft);
    CloseHandle(file);
}

// An installation in a temporary folder: the settings file beside a (never started)
// program path, a data location and a folder of documents.
struct MainWindowViews : ::testing::Test {
    TempTree dir{"mainviews"};
    Win32FileSystem fs;
    FakeRegistry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,   clock,
                   messages, settings,   dir.Path("App\\Larkspire.exe"),
                   "jdoe",   dir.Root(), dir.Path("Recent")};
    std::unique_ptr<TfmOpen> form;

    MainWindowViews() {
        dir.Folder("Recent");
        WriteSettings(dir.Path("Larkspire Data"));
    }
    ~MainWindowViews() override { form.reset(); }

    void WriteSettings(const std::string& dataLocation) {
        dir.File("App\\LARKSPIRE.ini", "[General]\r\nDataLocation=" + dataLocation +
                                           "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n"
                                           "\r\n[Domain.<Default>]\r\nInclude=" +
                                           dir.Path("docs") + "\r\n");
    }
    std::string Doc(const std::string& name, WORD year = 2024) {
        dir.File("docs\\" + name, "some text");
        SetModifiedYear(dir.Path("docs\\" + name), year);
        return dir.Path("docs\\" + name);
    }
    void RecentList(const std::string& user, const std::vector<std::string>& paths) {
        std::string text;
        for (const auto& p : paths) text += p + "\r\n";
        dir.File("Larkspire Data\\" + user + "\\Recent files.idx", text);
    }
    void Start() {
        std::vector<std::string> noParameters;
        form = std::make_unique<TfmOpen>(ctx, &noParameters);
        ASSERT_NE(form->Handle(), nullptr);
    }

    MainLayout& Layout() { return form->Frame().Layout(); }
    HWND List() { return Layout().listView; }
    std::string Caption() { return TextOf(form->Handle()); }
    std::string Status() { return StatusOf(Layout().statusBar); }
    // The rows as the list control shows them: it asks the window for each one.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        int count = int(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[260] = L"";
            ListView_GetItemText(List(), i, 0, text, 260);
            rows.push_back(Narrow(text));
        }
        return rows;
    }
    void Command(UINT id, UINT code = 0, HWND from = nullptr) {
        SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(from));
    }
    void ChooseInCatalogue(const std::string& name) {
        HWND catalogue = Layout().coViews;
        int index = int(SendMessageW(catalogue, CB_FINDSTRINGEXACT, WPARAM(-1),
                                     reinterpret_cast<LPARAM>(Widen(name).c_str())));
        ASSERT_GE(index, 0) << name;
        SendMessageW(catalogue, CB_SETCURSEL, WPARAM(index), 0);
        Command(kIdViews, CBN_SELCHANGE, catalogue);
    }
    void ChooseInSelector(const std::string& text) {
        HWND selector = Layout().coViews2;
        int count = int(SendMessageW(selector, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t buffer[260] = L"";
            COMBOBOXEXITEMW item{};
            item.mask = CBEIF_TEXT;
            item.iItem = i;
            item.pszText = buffer;
            item.cchTextMax = 260;
            SendMessageW(selector, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            if (Narrow(buffer) != text) continue;
            SendMessageW(selector, CB_SETCURSEL, WPARAM(i), 0);
            Command(kIdViews2, CBN_SELCHANGE, selector);
            return;
        }
        ADD_FAILURE() << "no selector entry " << text;
    }
    int ListStyle() { return int(GetWindowLongW(List(), GWL_STYLE) & LVS_TYPEMASK); }
    bool MenuChecked(UINT id) {
        return (GetMenuState(Layout().mainMenu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    bool ButtonChecked(UINT id) {
        return SendMessageW(Layout().toolBar, TB_ISBUTTONCHECKED, id, 0) != 0;
    }
    bool ViewBandShown() {
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_STYLE;
        SendMessageW(Layout().reBar, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&band));
        return (band.fStyle & RBBS_HIDDEN) == 0;
    }
};

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
        {"close button closes", kIdCloseTreeButton, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.how);
        Command(s.id, BN_CLICKED,
                s.id == kIdCloseTreeButton ? Layout().buCloseTreeview
                : s.fromButton             ? Layout().toolBar
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
    std::string bad = text;
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
