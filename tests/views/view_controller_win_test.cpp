#include <gtest/gtest.h>

#include "config/context.h"
#include "base/date_time.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "views/fake_shell_services.h"
#include "views/fake_view_host.h"
#include "views/view_controller.h"
#include "views/view_host_win.h"
#include "views/view_selectors_win.h"
#include "views/views_win_test_support.h"

namespace lark {
namespace {

using test::MakeFolder;
using test::WriteFileBytes;

struct ViewsOnDisk : ::testing::Test {
    test::TempDir temp;
    Win32FileSystem fs;
    FakeRegistry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,    clock,
                   messages, settings,    temp / "App\\Larkspire.exe",
                   "jdoe",   temp.Path(), temp / "Recent"};
    FakeShellServices shell;
    FakeViewHost host;
    FakeSearchRunner search;
    ViewController views{ctx, host, shell, search};
    std::string docs = temp / "Docs";

    ViewsOnDisk() {
        settings.DataLocation = temp / "Larkspire Data";
        for (const char* folder : {"App", "Recent", "Docs", "Larkspire Data"})
            MakeFolder(temp / folder);
    }
    std::string Doc(const std::string& name, size_t bytes = 10) {
        std::string path = docs + "\\" + name;
        WriteFileBytes(path, std::string(bytes, 'x'));
        return path;
    }
};

TEST_F(ViewsOnDisk, LastSearchListsOnlyExistingFiles) {
    std::string big = Doc("big.doc", 3 * 1024 + 5);
    std::string readOnly = Doc("fixed.txt");
    SetFileAttributesW(Widen(readOnly).c_str(), FILE_ATTRIBUTE_READONLY);
    views.LastSearchResults = {big, docs, docs + "\\missing.doc", readOnly,
                               docs + "\\bad|name.doc"};
    views.ShowView("<Last Search>");
    EXPECT_EQ(host.status, "2 Object(s)");
    ASSERT_EQ(views.Items.Count(), 2u);
    const FileListItem* bigRow = &views.Items.ItemAt(0);
    if (bigRow->Name != "big.doc") bigRow = &views.Items.ItemAt(1);
    EXPECT_EQ(bigRow->Name, "big.doc");
    EXPECT_EQ(bigRow->Folder, docs);
    EXPECT_EQ(bigRow->SizeKB, 3);
    EXPECT_NEAR(bigRow->Modified, clock.Now(), 1.0 / 24);
    EXPECT_TRUE(bigRow->DetailsPending);
    EXPECT_FALSE(bigRow->ItemId);  // fetched only when the row is about to be shown
    SetFileAttributesW(Widen(readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);

    views.LastSearchResults = {docs + "\\gone1.doc", temp / "nowhere\\gone2.doc"};
    views.ShowView("<Last Search>");
    EXPECT_EQ(host.status, "0 Object(s)");
}

TEST_F(ViewsOnDisk, OtherUsersAreOfferedByExactName) {
    for (const char* user : {"Larkspire Data\\JDoe", "Larkspire Data\\All Users",
                             "Larkspire Data\\mary-jo", "Larkspire Data\\All Users\\Searches"})
        MakeFolder(temp / user);
    WriteFileBytes(temp / "Larkspire Data\\All Users\\Searches\\Forms.lks", "");
    WriteFileBytes(temp / "Larkspire Data\\mary-jo\\Recent files.idx", Doc("shared.doc") + "\r\n");
    views.FillViewSelectors();
    auto offered = [&] {
        std::string out;
        for (const auto& name : host.catalogue)
            if (name.find("'s Recent") != std::string::npos) out += name + ";";
        return out;
    };
    EXPECT_EQ(offered(), "<Jdoe's Recent Documents>;<Mary-Jo's Recent Documents>;");
    EXPECT_EQ(host.catalogue.back(), "Forms\xC2\xA7");
    ctx.userName = "JDoe";
    views.FillViewSelectors();
    EXPECT_EQ(offered(), "<Mary-Jo's Recent Documents>;");

    views.coViews2Change("Mary-Jo's Recent Documents", 2);
    EXPECT_EQ(host.status, "1 Object(s)");
    EXPECT_EQ(host.caption, "Larkspire - <Mary-Jo's Recent Documents>");
}

TEST_F(ViewsOnDisk, RecentProgramsThenBackToTheUsersStyle) {
    std::string notepad = "C:\\windows\\notepad.exe";
    shell.executableByExtension = {{"txt", notepad}};
    views.RecentDocuments = {Doc("a.txt")};
    views.ApplyViewStyle(kStyleList);
    views.ShowFixedView("Recent Programs");
    EXPECT_EQ(host.listStyle, kStyleLargeIcons);
    EXPECT_EQ(host.status, "1 Object(s)");
    views.ShowFixedView("Recent Folders");
    EXPECT_EQ(host.listStyle, kStyleList);
    EXPECT_EQ(views.ViewStyleIndex, kStyleList);
    ASSERT_EQ(views.Items.Count(), 1u);
    EXPECT_EQ(views.Items.ItemAt(0).Path(), docs);
}

struct SelectorWindow : ::testing::Test {
    HWND parent = nullptr, selector = nullptr, catalogue = nullptr, tree = nullptr;
    HIMAGELIST images = nullptr;
    SelectorWindow() {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_USEREX_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&init);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                 nullptr, instance, nullptr);
        selector = CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 200,
                                   300, parent, HMENU(1), instance, nullptr);
        catalogue = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 200,
                                    300, parent, HMENU(2), instance, nullptr);
        tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | TVS_HASBUTTONS, 0, 0, 200, 300,
                               parent, HMENU(3), instance, nullptr);
        images = ImageList_Create(kViewImageSize, kViewImageSize, ILC_COLOR24, kViewImageCount, 0);
        SendMessageW(selector, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
        SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    }
    ~SelectorWindow() override {
        DestroyWindow(parent);
        if (images) ImageList_Destroy(images);
    }
    int TreeImage(HTREEITEM item) {
        TVITEMW info = {};
        info.mask = TVIF_IMAGE | TVIF_STATE;
        info.hItem = item;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
        return info.iImage;
    }
    HTREEITEM Next(HTREEITEM item, UINT how) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }
};

TEST_F(SelectorWindow, SelectorAndCatalogueHoldTheCatalogue) {
    FakeFileSystem fs;
    fs.AddFolder("C:\\Data\\bob");
    fs.AddFile("C:\\Data\\jdoe\\Searches\\Letters.lks");
    ViewCatalogue cat = BuildViewCatalogue(
        fs, {"C:\\Data", "jdoe", "C:\\Data\\jdoe\\Searches", "C:\\Data\\All Users\\Searches"});
    FillViewSelector(selector, cat.selector);
    FillCatalogue(catalogue, cat.names);
    ASSERT_EQ(SendMessageW(selector, CB_GETCOUNT, 0, 0), LRESULT(cat.selector.size()));
    SelectComboText(selector, "Bob's Recent Documents");
    SelectorChoice choice = CurrentSelectorChoice(selector);
    EXPECT_EQ(choice.text, "Bob's Recent Documents");
    EXPECT_EQ(choice.indent, 2);
    SelectComboText(selector, "My Searches");
    EXPECT_EQ(CurrentSelectorChoice(selector).indent, 0);
    SelectComboText(selector, "bob's recent documents");  // letter case counts
    EXPECT_EQ(CurrentSelectorChoice(selector).text, "");

    SelectComboText(catalogue, "<Recent Folders>");
    int index = int(SendMessageW(catalogue, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(ComboText(catalogue, index), "<Recent Folders>");
    SelectComboText(catalogue, "<recent folders>");
    EXPECT_EQ(SendMessageW(catalogue, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(SelectorWindow, TreeGroupsOpenAndCloseTheirPictures) {
    FakeFileSystem fs;
    fs.AddFile("C:\\Data\\jdoe\\Searches\\Letters.lks");
    ViewCatalogue cat = BuildViewCatalogue(
        fs, {"C:\\Data", "jdoe", "C:\\Data\\jdoe\\Searches", "C:\\Data\\All Users\\Searches"});
    FillViewsTree(tree, cat.tree);
    FillViewsTree(tree, cat.tree);  // refilling replaces
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 9);
    HTREEITEM node = Next(nullptr, TVGN_ROOT);
    for (int i = 0; i < 6; ++i) node = Next(node, TVGN_NEXT);  // "My Searches"
    EXPECT_EQ(TreeChoiceOf(tree, node).text, "My Searches");
    EXPECT_EQ(TreeChoiceOf(tree, node).parentText, "");
    UINT state =
        UINT(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED));
    EXPECT_TRUE(state & TVIS_EXPANDED);
    EXPECT_EQ(TreeImage(node), kImageGroupOpen);
    HTREEITEM child = Next(node, TVGN_CHILD);
    EXPECT_EQ(TreeChoiceOf(tree, child).text, "Letters");
    EXPECT_EQ(TreeChoiceOf(tree, child).parentText, "My Searches");

    NMTREEVIEWW change = {};
    change.itemNew.hItem = node;
    change.action = TVE_COLLAPSE;
    ViewsTreeItemExpanded(tree, change);
    EXPECT_EQ(TreeImage(node), kImageGroupClosed);
    change.action = TVE_EXPAND;
    ViewsTreeItemExpanded(tree, change);
    EXPECT_EQ(TreeImage(node), kImageGroupOpen);
}

TEST_F(ViewsOnDisk, WindowHostShowsTheViewInItsControls) {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&init);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND window = CreateWindowExW(0, L"STATIC", L"Larkspire", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                  nullptr, nullptr, instance, nullptr);
    auto child = [&](const wchar_t* cls, DWORD style, int id) {
        return CreateWindowExW(0, cls, L"", WS_CHILD | style, 0, 0, 300, 200, window,
                               reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    };
    HWND status = child(STATUSCLASSNAMEW, 0, 1);
    HWND openBox = child(L"EDIT", 0, 2);
    HWND selector = child(WC_COMBOBOXEXW, CBS_DROPDOWNLIST, 3);
    HWND catalogue = child(L"COMBOBOX", CBS_DROPDOWNLIST, 4);
    HWND listWindow = child(WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA, 5);
    FileListView list(listWindow, views.Items, views.Locale);
    int searchMenus = 0;
    ViewWindowCallbacks callbacks;
    callbacks.searchKeywords = [] { return std::string("*.doc"); };
    callbacks.enableSearchMenu = [&] { ++searchMenus; };
    WindowViewHost windowHost({window, status, openBox, selector, catalogue, nullptr, &list},
                              callbacks);
    ViewController shown(ctx, windowHost, shell, search);
    shown.LastSearchResults = {Doc("a.doc"), Doc("b.doc"), docs + "\\gone.doc"};
    SetWindowTextW(openBox, L"typed");
    shown.FillViewSelectors();
    shown.ApplyViewStyle(kStyleDetails);
    shown.ShowView("<Last Search>");

    wchar_t text[200] = {};
    GetWindowTextW(window, text, 200);
    EXPECT_EQ(Narrow(text), "Larkspire - <Search=\"*.doc\">");
    SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(Narrow(text), "2 Object(s)");
    EXPECT_EQ(GetWindowTextLengthW(openBox), 0);
    EXPECT_EQ(SendMessageW(listWindow, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(GetWindowLongPtrW(listWindow, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(CurrentSelectorChoice(selector).text, "Last Search");
    EXPECT_EQ(ComboText(catalogue, int(SendMessageW(catalogue, CB_GETCURSEL, 0, 0))),
              "<Last Search>");
    EXPECT_EQ(searchMenus, 1);

    shown.ShowView("<Recent Programs>");
    EXPECT_EQ(GetWindowLongPtrW(listWindow, GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(SendMessageW(listWindow, LVM_GETITEMCOUNT, 0, 0), 0);
    DestroyWindow(window);
}

}  // namespace
}  // namespace lark
