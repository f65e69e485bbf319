#include "app/main_layout_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/command_ids_win.h"
#include "app/main_frame_win.h"
#include "app/tray_icon_win.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

std::wstring TextOf(HWND hwnd) {
    wchar_t buf[256] = {};
    GetWindowTextW(hwnd, buf, 256);
    return buf;
}

// Captions of a menu's items, "-" for separators, "&" kept.
std::vector<std::wstring> Captions(HMENU menu) {
    std::vector<std::wstring> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t buf[128] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_FTYPE | MIIM_STRING;
        mi.dwTypeData = buf;
        mi.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi);
        out.push_back((mi.fType & MFT_SEPARATOR) ? L"-" : buf);
    }
    return out;
}

struct Fixture {
    std::vector<UINT> previewed;
    std::vector<UINT> commands;
    MainLayout layout;
    std::unique_ptr<test::HostWindow> host;

    Fixture() {
        host = std::make_unique<test::HostWindow>(
            [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                switch (msg) {
                    case WM_DESTROY:
                        layout.FormDestroyed();
                        return false;
                    case WM_SIZE:
                        layout.Layout();
                        return true;
                    case WM_NOTIFY:
                        return layout.HandleNotify(reinterpret_cast<NMHDR*>(lParam), result);
                    case WM_COMMAND:
                        commands.push_back(LOWORD(wParam));
                        return true;
                    case kWmPreviewKeyDown:
                        previewed.push_back(static_cast<UINT>(wParam));
                        result = wParam == VK_F5 ? 1 : 0;  // the window keeps F5 for itself
                        return true;
                    default:
                        return false;
                }
            });
        layout.Create(host->hwnd, test::ProgramResources());
    }
    ~Fixture() {
        host.reset();  // controls go before the image lists and menus they use
    }
};

TEST(MainLayout, BandsToolBarAndStatusStripAreLaidOutInOrder) {
    ASSERT_NE(test::ProgramResources(), nullptr);
    Fixture f;
    MainLayout& l = f.layout;
    ASSERT_EQ(SendMessageW(l.reBar, RB_GETBANDCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(l.reBar, RB_GETROWCOUNT, 0, 0), 2)
        << "tool bar and view band share a row";
    const HWND bandChildren[] = {l.toolBar, l.viewBand, l.openBand};
    const UINT minHeights[] = {33, 31, 32};
    for (UINT i = 0; i < 3; ++i) {
        REBARBANDINFOW band{};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD | RBBIM_STYLE | RBBIM_CHILDSIZE;
        SendMessageW(l.reBar, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
        EXPECT_EQ(band.hwndChild, bandChildren[i]) << i;
        EXPECT_GE(band.cyMinChild, minHeights[i]) << i;
        EXPECT_EQ((band.fStyle & RBBS_BREAK) != 0, i == 2) << i;
    }

    struct Button {
        UINT command;
        const wchar_t* text;
        int image;
    };
    const Button expected[] = {{kCmdNew, L"New from template", 0}, {kCmdSaveAs, L"Save As", 1},
                               {kCmdPrint, L"Print", 2},           {kCmdDelete, L"Delete", 3},
                               {kCmdViewStyles, L"View style", 4}, {0, nullptr, 0},
                               {kCmdHistory, L"History", 5},       {kCmdSearch, L"Search", 7},
                               {kCmdShowViews, L"Views", 8}};
    ASSERT_EQ(SendMessageW(l.toolBar, TB_BUTTONCOUNT, 0, 0),
              static_cast<LRESULT>(std::size(expected)));
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
        TBBUTTON b{};
        SendMessageW(l.toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        if (!expected[i].text) {
            EXPECT_TRUE(b.fsStyle & BTNS_SEP) << i;
            continue;
        }
        EXPECT_EQ(static_cast<UINT>(b.idCommand), expected[i].command) << i;
        EXPECT_EQ(b.iBitmap, expected[i].image) << i;
        wchar_t text[64] = {};
        SendMessageW(l.toolBar, TB_GETBUTTONTEXTW, b.idCommand, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, expected[i].text) << i;
    }
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STYLE;
    SendMessageW(l.toolBar, TB_GETBUTTONINFOW, kCmdViewStyles, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(info.fsStyle & BTNS_DROPDOWN);

    EXPECT_EQ(TextOf(l.viewLabel), L"View");
    EXPECT_EQ(TextOf(l.openLabel), L"Open");
    EXPECT_EQ(TextOf(l.buFindFile), L"Browse");
    EXPECT_EQ(TextOf(l.buOpen), L"Go");
    EXPECT_EQ(TextOf(l.progressLabel), L"Searching...");
    EXPECT_EQ(SendMessageW(l.progressBar, PBM_GETRANGE, FALSE, 0), 100);
    for (HWND hidden : {l.sidePanel, l.splitter, l.progressPanel, l.coViews})
        EXPECT_FALSE(GetWindowLongPtrW(hidden, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongPtrW(l.form, GWL_EXSTYLE) & WS_EX_TOPMOST) << "hidden";
    ShowWindow(l.form, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(GetWindowLongPtrW(l.form, GWL_EXSTYLE) & WS_EX_TOPMOST) << "shown";
    EXPECT_EQ(GetWindowContextHelpId(l.form), 10u);
}

TEST(MainLayout, FileListHasSixColumnsAndPathTakesTheRest) {
    Fixture f;
    MainLayout& l = f.layout;
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(l.listView, GWL_STYLE));
    EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(style & LVS_OWNERDATA);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    struct Column {
        const wchar_t* caption;
        int width;
        int format;
    };
    const Column expected[] = {{L"Name", 200, LVCFMT_LEFT},      {L"Size", 70, LVCFMT_RIGHT},
                               {L"Type", 120, LVCFMT_LEFT},      {L"Modified", 115, LVCFMT_LEFT},
                               {L"Attributes", 40, LVCFMT_LEFT}, {L"Path", -1, LVCFMT_LEFT}};
    for (int width : {730, 1000, 500}) {
        SetWindowPos(l.form, nullptr, 0, 0, width, 465, SWP_NOMOVE | SWP_NOZORDER);
        int sum = 0;
        for (int i = 0; i < 6; ++i) {
            wchar_t caption[32] = {};
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            col.pszText = caption;
            col.cchTextMax = 32;
            ASSERT_TRUE(ListView_GetColumn(l.listView, i, &col));
            EXPECT_STREQ(caption, expected[i].caption);
            EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, expected[i].format) << i;
            if (expected[i].width > 0) {
                EXPECT_EQ(col.cx, expected[i].width) << i;
            }
            sum += col.cx;
        }
        RECT rc;
        GetClientRect(l.listView, &rc);
        EXPECT_EQ(sum, std::max<int>(rc.right, 545 + 60)) << "window width " << width;
    }

    // The side panel and its 4-pixel splitter push the list to the right.
    l.ShowSidePanel(true);
    RECT side, list;
    GetWindowRect(l.sidePanel, &side);
    GetWindowRect(l.listView, &list);
    EXPECT_EQ(list.left - side.right, 4);
    l.ShowSidePanel(false);
    GetWindowRect(l.listView, &list);
    RECT form;
    GetClientRect(l.form, &form);
    POINT origin{0, 0};
    ClientToScreen(l.form, &origin);
    EXPECT_EQ(list.left, origin.x);
}

TEST(MainLayout, MenusHoldEveryItemInOrder) {
    Fixture f;
    MainLayout& l = f.layout;
    using V = std::vector<std::wstring>;
    EXPECT_EQ(Captions(l.mainMenu), (V{L"File", L"Document", L"View", L"Search", L"Help"}));
    const V items[] = {
        {L"Instant Find", L"Properties", L"Refresh", L"Exit"},
        {L"New", L"Open", L"Open containing folder", L"Edit with notepad", L"-", L"Save as",
         L"Save as template", L"-", L"Insert into dialog", L"Insert compressed", L"-", L"Move",
         L"Rename", L"Print", L"Delete", L"Erase", L"Remove from Recent Files"},
        {L"Views", L"History"},
        {L"Search", L"Search and replace", L"-", L"Save search As...", L"Revise search",
         L"Delete search"},
        {L"Overview", L"-", L"Tech support online", L"-", L"About..."},
    };
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Captions(GetSubMenu(l.mainMenu, i)), items[i]) << i;
    EXPECT_TRUE(l.IsFileMenu(GetSubMenu(l.mainMenu, 0)));
    EXPECT_EQ(Captions(l.listPopup),
              (V{L"Open", L"Open containing folder", L"Edit with notepad", L"-", L"Save As...",
                 L"Save as Template...", L"-", L"Insert into dialog", L"Insert compressed", L"-",
                 L"Move", L"Rename", L"Print", L"Delete", L"Erase", L"Remove from Recent Files",
                 L"-", L"Explorer Actions..."}));
    EXPECT_EQ(Captions(l.trayPopup),
              (V{L"Instant &Find", L"&Properties", L"Refresh", L"E&xit Larkspire"}));
    EXPECT_EQ(Captions(l.viewStylePopup),
              (V{L"Large Icons", L"Small Icons", L"List ", L"Details"}));
    for (int style = 0; style < 4; ++style) {
        l.SetViewStyleChecked(style);
        for (int i = 0; i < 4; ++i) {
            UINT id = GetMenuItemID(l.viewStylePopup, i);
            EXPECT_EQ(ViewStyleOfCommand(id), i);
            EXPECT_EQ((GetMenuState(l.viewStylePopup, id, MF_BYCOMMAND) & MF_CHECKED) != 0,
                      i == style);
        }
    }
}

TEST(MainLayout, ViewsAndHistoryAreNeverCheckedTogether) {
    Fixture f;
    MainLayout& l = f.layout;
    const SideMode steps[] = {SideMode::Views, SideMode::History, SideMode::Views,
                              SideMode::None,  SideMode::History, SideMode::History,
                              SideMode::None,  SideMode::Views};
    for (SideMode mode : steps) {
        l.SetSideMode(mode);
        const bool viewsMenu = GetMenuState(l.mainMenu, kCmdShowViews, MF_BYCOMMAND) & MF_CHECKED;
        const bool historyMenu = GetMenuState(l.mainMenu, kCmdHistory, MF_BYCOMMAND) & MF_CHECKED;
        const bool viewsButton = SendMessageW(l.toolBar, TB_ISBUTTONCHECKED, kCmdShowViews, 0);
        const bool historyButton = SendMessageW(l.toolBar, TB_ISBUTTONCHECKED, kCmdHistory, 0);
        EXPECT_EQ(viewsMenu, mode == SideMode::Views);
        EXPECT_EQ(historyMenu, mode == SideMode::History);
        EXPECT_EQ(viewsButton, viewsMenu);
        EXPECT_EQ(historyButton, historyMenu);
    }
}

TEST(MainLayout, CommandsNotYetAvailableAreDisabledEverywhere) {
    Fixture f;
    MainLayout& l = f.layout;
    const UINT available[] = {kCmdExit, kCmdAbout, kCmdSearch};
    l.ApplyCommandAvailability(available);
    struct Case {
        UINT command;
        bool enabled;
    };
    const Case cases[] = {{kCmdExit, true},      {kCmdAbout, true},         {kCmdSearch, true},
                          {kCmdPrint, false},    {kCmdDelete, false},       {kCmdOpen, false},
                          {kCmdFindFile, false}, {kCmdViewStyleList, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(l.CommandEnabled(c.command), c.enabled) << c.command;
        for (HMENU m : {l.mainMenu, l.listPopup, l.trayPopup, l.viewStylePopup}) {
            UINT state = GetMenuState(m, c.command, MF_BYCOMMAND);
            if (state != static_cast<UINT>(-1)) {
                EXPECT_EQ((state & MF_GRAYED) == 0, c.enabled) << c.command;
            }
        }
    }
    EXPECT_FALSE(SendMessageW(l.toolBar, TB_ISBUTTONENABLED, kCmdPrint, 0));
    EXPECT_FALSE(IsWindowEnabled(l.buFindFile));
    l.EnableCommand(kCmdSearch, false);  // an index build runs
    EXPECT_FALSE(SendMessageW(l.toolBar, TB_ISBUTTONENABLED, kCmdSearch, 0));
    EXPECT_TRUE(GetMenuState(l.mainMenu, kCmdSearch, MF_BYCOMMAND) & MF_GRAYED);
}

TEST(MainLayout, WindowKeysReachTheWindowBeforeTheOpenBox) {
    Fixture f;
    MainLayout& l = f.layout;
    ShowWindow(l.form, SW_SHOW);
    SetFocus(l.edOpen);
    // F5 is the window's own key; "B" is left to the open box.
    PostMessageW(l.edOpen, WM_KEYDOWN, VK_F5, 1);
    PostMessageW(l.edOpen, WM_KEYDOWN, 'B', 1);
    PostMessageW(l.edOpen, WM_CHAR, 'b', 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (PreviewWindowKey(l.form, msg)) continue;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(f.previewed, (std::vector<UINT>{VK_F5, 'B'}));
    EXPECT_EQ(TextOf(l.edOpen), L"b");
    // Keys of other windows are not the main window's business.
    test::HostWindow other(nullptr);
    MSG foreign{other.hwnd, WM_KEYDOWN, VK_F5, 1, 0, {}};
    EXPECT_FALSE(PreviewWindowKey(l.form, foreign));
    EXPECT_EQ(f.previewed.size(), 2u);
}

TEST(MainLayout, TrayImagesGiveThreeIcons) {
    Fixture f;
    for (int i = 0; i < 3; ++i) {
        HICON icon = f.layout.MakeTrayIcon(i);
        EXPECT_NE(icon, nullptr) << i;
        if (icon) DestroyIcon(icon);
    }
    EXPECT_EQ(ImageList_GetImageCount(f.layout.toolImages), 13);
    EXPECT_EQ(ImageList_GetImageCount(f.layout.viewImages), 10);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(f.layout.viewImages, &cx, &cy);
    EXPECT_EQ(cx, 20);
    EXPECT_EQ(ImageList_GetImageCount(f.layout.viewStyleImages), 4);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// The main window as the program hosts it: frame first, then the window's own handling.
struct FrameFixture {
    std::vector<HMENU> menusShown;
    std::unique_ptr<MainFrame> frame;
    std::unique_ptr<test::HostWindow> host;

    FrameFixture() {
        host = std::make_unique<test::HostWindow>(
            [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                if (frame && frame->HandleMessage(msg, wParam, lParam, result)) return true;
                if (msg == WM_INITMENUPOPUP) menusShown.push_back(reinterpret_cast<HMENU>(wParam));
                if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) EndMenu();
                return false;
            });
        frame = std::make_unique<MainFrame>(host->hwnd, test::ProgramResources());
    }
    ~FrameFixture() {
        host.reset();
        frame.reset();
    }
    void Tray(UINT mouse) {
        SendMessageW(frame->TrayIcon().Handle(), kTrayCallbackMessage, 0, mouse);
    }
};

TEST(MainFrame, TrayClicksToggleTheWindowAndRightClickShowsTheTrayMenu) {
    FrameFixture f;
    HWND form = f.host->hwnd;
    EXPECT_EQ(f.frame->TrayIcon().ToolTip(), L"Larkspire");
    EXPECT_EQ(f.frame->TrayIcon().PopupMenu, f.frame->Layout().trayPopup);
    f.Tray(WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(form));
    f.Tray(WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(form));
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) f.Tray(m);
    EXPECT_FALSE(IsWindowVisible(form)) << "a double click toggles twice";
    f.Tray(WM_RBUTTONUP);
    EXPECT_EQ(f.menusShown, (std::vector<HMENU>{f.frame->Layout().trayPopup}));
    EXPECT_FALSE(IsWindowVisible(form));
}

TEST(MainFrame, OpeningTheFileMenuPopsTheTrayMenu) {
    FrameFixture f;
    ShowWindow(f.host->hwnd, SW_SHOW);
    SendMessageW(f.host->hwnd, WM_INITMENUPOPUP,
                 reinterpret_cast<WPARAM>(f.frame->Layout().fileMenu), MAKELPARAM(0, FALSE));
    test::PumpMessages(0);
    EXPECT_EQ(f.menusShown,
              (std::vector<HMENU>{f.frame->Layout().fileMenu, f.frame->Layout().trayPopup}));
}

TEST(MainFrame, FocusStartsOnTheListAndComesBackWhereItWas) {
    FrameFixture f;
    HWND form = f.host->hwnd;
    ShowWindow(form, SW_SHOW);
    SendMessageW(form, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), f.frame->Layout().listView);
    SetFocus(f.frame->Layout().edOpen);
    SendMessageW(form, WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(form);
    EXPECT_EQ(GetFocus(), f.frame->Layout().edOpen);
}

TEST(MainFrame, IndexBuildShowsInTrayAndSearchButton) {
    FrameFixture f;
    MainLayout& l = f.frame->Layout();
    f.frame->SetTrayState(0);
    EXPECT_NE(f.frame->TrayIcon().Icon(), nullptr);
    f.frame->IndexBuildStarting();
    EXPECT_FALSE(SendMessageW(l.toolBar, TB_ISBUTTONENABLED, kCmdSearch, 0));
    EXPECT_FALSE(l.CommandEnabled(kCmdSearch));
    f.frame->IndexBuildFinished("Larkspire 1234 files indexed");
    EXPECT_TRUE(SendMessageW(l.toolBar, TB_ISBUTTONENABLED, kCmdSearch, 0));
    EXPECT_EQ(f.frame->TrayIcon().ToolTip(), L"Larkspire 1234 files indexed");

    // Until searching exists, the end of a build does not switch the button on.
    const UINT available[] = {kCmdExit};
    l.ApplyCommandAvailability(available);
    f.frame->IndexBuildStarting();
    f.frame->IndexBuildFinished("Larkspire 5 files indexed");
    EXPECT_FALSE(SendMessageW(l.toolBar, TB_ISBUTTONENABLED, kCmdSearch, 0));
}

}  // namespace
}  // namespace lark
