#include "views/file_list_win.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include "base/date_time.h"
#include "base/text.h"
#include "platform/win32/encoding_win.h"
#include "views/views_win_test_support.h"

namespace lark {
namespace {

LRESULT CALLBACK TestParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<FileListView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && view) {
        LRESULT result = 0;
        if (view->HandleNotify(reinterpret_cast<NMHDR*>(lParam), result)) return result;
    }
    if (message == WM_CONTEXTMENU && view && view->HandleContextMenu(HWND(wParam))) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain window holding an owner-data list, as the main window holds its file list.
struct ListWindow : ::testing::Test {
    HWND parent = nullptr;
    HWND list = nullptr;
    FileListItems items;
    FileListLocale locale = DefaultFileListLocale();
    std::unique_ptr<FileListView> view;
    std::vector<std::string> openBox;
    int renames = 0, deletes = 0, menus = 0, opens = 0;
    bool editAllowed = true;

    ListWindow() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LarkViewsListTest";
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, wc.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        list = CreateWindowExW(
            0, WC_LISTVIEWW, L"",
            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_EDITLABELS,
            0, 0, 780, 560, parent, HMENU(1), wc.hInstance, nullptr);
        view = std::make_unique<FileListView>(list, items, locale);
        view->AddColumns();
        view->callbacks.selectionChanged = [this](const std::string& s) { openBox.push_back(s); };
        view->callbacks.rename = [this] { ++renames; };
        view->callbacks.deleteSelected = [this] { ++deletes; };
        view->callbacks.contextMenu = [this](POINT) { ++menus; };
        view->callbacks.open = [this] { ++opens; };
        view->callbacks.labelEditAllowed = [this] { return editAllowed; };
        SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view.get()));
    }
    ~ListWindow() override {
        SetWindowLongPtrW(parent, GWLP_USERDATA, 0);
        DestroyWindow(parent);
        view.reset();
        CoUninitialize();
    }

    void AddRow(const char* name, int32_t kb, const char* type, double modified, uint32_t attrs,
                const char* folder) {
        FileListItem item;
        item.Name = name;
        item.SizeKB = kb;
        item.TypeName = type;
        item.Modified = modified;
        item.Attributes = attrs;
        item.Folder = folder;
        item.DetailsPending = false;
        items.Add(std::move(item));
        view->SetRowCount(items.Count());
    }
    std::string Text(int row, int column) {
        wchar_t buffer[260] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 260;
        SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
        return Narrow(buffer);
    }
    std::string FirstLetters() {
        std::string out;
        int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) out += Text(i, 0).substr(0, 1);
        return out;
    }
    LRESULT Notify(NMHDR& header, UINT code) {
        header.hwndFrom = list;
        header.idFrom = 1;
        header.code = code;
        return SendMessageW(parent, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
    }
    void ClickColumn(int column) {
        NMLISTVIEW click = {};
        click.iItem = -1;
        click.iSubItem = column;
        Notify(click.hdr, LVN_COLUMNCLICK);
    }
    void Select(int row, bool on) {
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED;
        state.state = on ? LVIS_SELECTED : 0;
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&state));
    }
};

const double kMarch = EncodeDateTime({2024, 3, 5, 14, 7, 0});

TEST_F(ListWindow, CellTextsFollowTheStyle) {
    AddRow("report.doc", 2048, "Word Document", kMarch, kAttrReadOnly | kAttrArchive,
           "C:\\Documents and Settings\\bob\\My Documents\\Letters");
    AddRow("blank.txt", 0, "Text", 0, 0, "D:");
    view->ApplyViewStyle(kStyleDetails);
    EXPECT_EQ(view->DisplayStyle(), kStyleDetails);
    const char* expected[] = {"report.doc",       "2,048KB", "Word Document",
                              "3/5/2024 2:07 pm", "RA",      "bob's Documents\\Letters"};
    for (int column = 0; column < kFileListColumnCount; ++column)
        EXPECT_EQ(Text(0, column), expected[column]) << column;
    EXPECT_EQ(Text(1, 1), "");
    EXPECT_EQ(Text(1, 3), "");
    EXPECT_EQ(Text(1, 5), "D:");
    EXPECT_EQ(Text(5, 0), "");  // past the end

    view->ApplyViewStyle(kStyleLargeIcons);
    EXPECT_EQ(view->DisplayStyle(), kStyleLargeIcons);
    EXPECT_EQ(Text(0, 0), "report.doc");
    EXPECT_EQ(Text(0, 2), "");
    for (int style : {kStyleSmallIcons, kStyleList, kStyleDetails}) {
        view->ApplyViewStyle(style);
        EXPECT_EQ(view->DisplayStyle(), style);
    }
}

TEST_F(ListWindow, HeaderClicksSortEachColumnBothWays) {
    AddRow("beta", 30, "Text", 45000.0, kAttrArchive, "C:\\m");
    AddRow("Alpha", 10, "zip", 45002.0, kAttrReadOnly, "c:\\Z");
    AddRow("delta", 20, "Bitmap", 45001.0, kAttrHidden | kAttrArchive, "C:\\a");
    AddRow("under", 5, "image", 0, 0, "c:\\k");  // no time: the oldest
    struct Case {
        int column;
        std::string ascending;
    } cases[] = {{kColName, "Abdu"},     {kColSize, "uAdb"},       {kColType, "dubA"},
                 {kColModified, "ubdA"}, {kColAttributes, "uAbd"}, {kColPath, "dubA"}};
    for (const auto& c : cases) {
        ClickColumn(c.column);
        EXPECT_EQ(FirstLetters(), c.ascending) << c.column;
        ClickColumn(c.column);
        EXPECT_EQ(FirstLetters(), std::string(c.ascending.rbegin(), c.ascending.rend()))
            << c.column;
    }
}

TEST_F(ListWindow, TypeAheadFindsRowsAndWrapsAround) {
    for (const char* name : {"apple.txt", "Banana.doc", "cherry.doc", "banjo.mp3", "Zebra.txt"})
        AddRow(name, 1, "", 0, 0, "C:\\f");
    auto find = [&](const wchar_t* text, int after, UINT flags) {
        LVFINDINFOW info = {};
        info.flags = flags;
        info.psz = text;
        return int(
            SendMessageW(list, LVM_FINDITEMW, WPARAM(after), reinterpret_cast<LPARAM>(&info)));
    };
    const UINT partial = LVFI_PARTIAL | LVFI_STRING;
    EXPECT_EQ(find(L"zeb", -1, partial), 4);
    EXPECT_EQ(find(L"ZEBRA.TXT", -1, LVFI_STRING), 4);
    // Where the search starts relative to the row given differs between list controls, so
    // the start and wrap rules are checked on the request itself.
    auto request = [&](const wchar_t* text, int start, UINT flags) {
        NMLVFINDITEMW find = {};
        find.iStart = start;
        find.lvfi.flags = flags;
        find.lvfi.psz = text;
        return int(Notify(find.hdr, LVN_ODFINDITEMW));
    };
    EXPECT_EQ(request(L"ban", 2, partial | LVFI_WRAP), 3);
    EXPECT_EQ(request(L"ban", 4, partial | LVFI_WRAP), 1);
    EXPECT_EQ(request(L"ban", 4, partial), -1);
    EXPECT_EQ(request(L"ban", 0, LVFI_PARAM), -1);
    EXPECT_EQ(find(L"kiwi", -1, partial | LVFI_WRAP), -1);
}

TEST_F(ListWindow, SelectionWritesTheOpenBox) {
    AddRow("a.doc", 1, "", 0, 0, "C:\\x");
    AddRow("b.doc", 1, "", 0, 0, "C:\\x");
    AddRow("c.txt", 1, "", 0, 0, "D:\\y");
    Select(0, true);
    Select(2, true);
    ASSERT_FALSE(openBox.empty());
    EXPECT_EQ(openBox.back(), "C:\\x\\a.doc;D:\\y\\c.txt");
    Select(1, true);
    EXPECT_EQ(openBox.back(), "C:\\x\\a.doc;C:\\x\\b.doc;D:\\y\\c.txt");
    EXPECT_EQ(view->SelectedPaths(), openBox.back());
    Select(-1, false);
    EXPECT_EQ(view->SelectedPaths(), "");
    // In the icon styles the order is still the list order.
    view->ApplyViewStyle(kStyleLargeIcons);
    Select(2, true);
    Select(0, true);
    EXPECT_EQ(view->SelectedPaths(), "C:\\x\\a.doc;D:\\y\\c.txt");
}

TEST_F(ListWindow, RowColoursAndStrikeOut) {
    EXPECT_EQ(RowTextColour(kAttrArchive), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(RowTextColour(kAttrReadOnly), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(RowTextColour(kAttrSystem), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(RowTextColour(kAttrReadOnly | kAttrSystem), GetSysColor(COLOR_HIGHLIGHT));

    AddRow("hidden.sys", 1, "", 0, kAttrHidden | kAttrReadOnly, "C:\\");
    HDC dc = CreateCompatibleDC(nullptr);
    auto draw = [&](DWORD stage, int subItem) {
        NMLVCUSTOMDRAW cd = {};
        cd.nmcd.dwDrawStage = stage;
        cd.nmcd.dwItemSpec = 0;
        cd.nmcd.hdc = dc;
        cd.iSubItem = subItem;
        LRESULT result = Notify(cd.nmcd.hdr, NM_CUSTOMDRAW);
        LOGFONTW font = {};
        GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        return std::tuple(result, cd.clrText, font.lfStrikeOut != 0);
    };
    EXPECT_EQ(std::get<0>(draw(CDDS_PREPAINT, 0)), CDRF_NOTIFYITEMDRAW);
    auto [rowResult, rowColour, rowStruck] = draw(CDDS_ITEMPREPAINT, 0);
    EXPECT_EQ(rowResult, CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW);
    EXPECT_EQ(rowColour, GetSysColor(COLOR_GRAYTEXT));
    EXPECT_TRUE(rowStruck);
    auto [cellResult, cellColour, cellStruck] = draw(CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2);
    EXPECT_EQ(cellResult, CDRF_NEWFONT);
    EXPECT_EQ(cellColour, GetSysColor(COLOR_WINDOWTEXT));
    (void)cellStruck;
    DeleteDC(dc);
}

TEST_F(ListWindow, KeysLabelEditsAndMenus) {
    AddRow("a.doc", 1, "", 0, 0, "C:\\x");
    auto key = [&](WORD vk) {
        NMLVKEYDOWN down = {};
        down.wVKey = vk;
        Notify(down.hdr, LVN_KEYDOWN);
    };
    key(VK_F2);
    key(VK_DELETE);
    EXPECT_EQ(renames, 1);
    EXPECT_EQ(deletes, 1);

    NMLVDISPINFOW edit = {};
    edit.item.iItem = 0;
    editAllowed = false;
    EXPECT_EQ(Notify(edit.hdr, LVN_BEGINLABELEDITW), TRUE);
    EXPECT_FALSE(view->labelEditing);
    editAllowed = true;
    EXPECT_EQ(Notify(edit.hdr, LVN_BEGINLABELEDITW), FALSE);
    EXPECT_TRUE(view->labelEditing);
    key(VK_DELETE);  // deletes text in the edit box, not the file
    EXPECT_EQ(deletes, 1);

    SendMessageW(parent, WM_CONTEXTMENU, WPARAM(list), MAKELPARAM(-1, -1));
    SendMessageW(parent, WM_CONTEXTMENU, WPARAM(parent), 0);
    EXPECT_EQ(menus, 1);
    NMITEMACTIVATE click = {};
    Notify(click.hdr, NM_DBLCLK);
    EXPECT_EQ(opens, 1);
}

// A document type of this test's own whose description carries the vendor prefix.
struct VendorDocumentType {
    VendorDocumentType() {
        Win32Registry reg;
        reg.Write(RegistryRoot::ClassesRoot, ".lkvdoc", "", "lkvdocfile");
        reg.Write(RegistryRoot::ClassesRoot, "lkvdocfile", "", "Microsoft Lark Document");
    }
    ~VendorDocumentType() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lkvdoc");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"lkvdocfile");
    }
};

TEST_F(ListWindow, CacheHintFetchesIconsAndTypesOnce) {
    VendorDocumentType type;
    test::TempDir temp;
    ASSERT_TRUE(test::WriteFileBytes(temp / "letter.lkvdoc", "x"));
    view->AttachSystemImageLists();
    EXPECT_NE(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    EXPECT_NE(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_SHAREIMAGELISTS);

    AddRow("letter.lkvdoc", 0, "", 0, 0, temp.Path().c_str());
    AddRow("gone.lkvdoc", 0, "", 0, 0, "Q:\\no such folder");
    for (size_t i = 0; i < items.Count(); ++i) items.ItemAt(i).DetailsPending = true;
    NMLVCACHEHINT hint = {};
    hint.iFrom = 0;
    hint.iTo = 5;  // past the end: ignored
    Notify(hint.hdr, LVN_ODCACHEHINT);
    EXPECT_TRUE(items.ItemAt(0).DetailsPending);
    hint.iTo = 1;
    Notify(hint.hdr, LVN_ODCACHEHINT);
    const FileListItem& letter = items.ItemAt(0);
    EXPECT_FALSE(letter.DetailsPending);
    EXPECT_TRUE(letter.ItemId);
    EXPECT_GE(letter.IconIndex, 0);
    EXPECT_EQ(letter.TypeName, "Lark Document");
    // A path the shell cannot parse keeps its row without icon or type.
    const FileListItem& gone = items.ItemAt(1);
    EXPECT_FALSE(gone.DetailsPending);
    EXPECT_EQ(gone.IconIndex, -1);
    EXPECT_EQ(gone.TypeName, "");

    items.ItemAt(0).TypeName = "kept";
    Notify(hint.hdr, LVN_ODCACHEHINT);
    EXPECT_EQ(items.ItemAt(0).TypeName, "kept");
}

TEST(FileListLocaleOnWindows, UsesTheUserLocale) {
    FileListLocale locale = Win32FileListLocale();
    wchar_t separator[16] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 16);
    EXPECT_EQ(SizeCellText(1234567, locale),
              "1" + Narrow(separator) + "234" + Narrow(separator) + "567KB");
    EXPECT_LT(locale.compareText("apple", "Banana"), 0);
    EXPECT_EQ(locale.compareText("ABC", "abc"), 0);
    EXPECT_GT(locale.compareText("b", "A"), 0);
    std::string date = locale.shortDate(2024, 3, 5);
    EXPECT_NE(date.find("2024"), std::string::npos) << date;
}

}  // namespace
}  // namespace lark
