#include <gtest/gtest.h>

#include "app/tray_icon_win.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

HICON AnyIcon() {
    return LoadIconW(nullptr, IDI_APPLICATION);
}

TEST(TrayIcon, ActiveAddsAndRemovesTheIconAndCutsLongTips) {
    TTrayIcon tray;
    tray.SetIcon(AnyIcon());
    tray.SetToolTip(std::string(70, 'x'));
    EXPECT_EQ(tray.ToolTip(), std::wstring(62, L'x'));
    tray.SetToolTip("Larkspire 1234 files indexed");
    EXPECT_EQ(tray.ToolTip(), L"Larkspire 1234 files indexed");

    tray.SetActive(true);
    EXPECT_TRUE(tray.Shown());
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = tray.Handle();
    nid.uID = 0;
    nid.uFlags = NIF_TIP;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid)) << "the shell knows the icon";

    // Explorer restarted: the icon is added again.
    Shell_NotifyIconW(NIM_DELETE, &nid);
    SendMessageW(tray.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(tray.Shown());
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid));

    tray.SetActive(false);
    EXPECT_FALSE(tray.Shown());
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid));
}

TEST(TrayIcon, MouseMessagesToggleTheWindowAndShowTheMenu) {
    int shownMenus = 0;
    test::HostWindow app([&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_INITMENUPOPUP) ++shownMenus;
        if (msg == WM_ENTERIDLE) EndMenu();  // close the menu as soon as it is up
        return false;
    });
    TTrayIcon tray;
    tray.SetAppWindow(app.hwnd);
    tray.SetIcon(AnyIcon());
    tray.SetActive(true);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"&Properties");
    tray.PopupMenu = menu;
    int toggles = 0;
    int rightClicks = 0;
    tray.OnClick = [&] {
        ++toggles;
        ShowWindow(app.hwnd, IsWindowVisible(app.hwnd) ? SW_HIDE : SW_SHOW);
    };
    tray.OnRightClick = [&](POINT) { ++rightClicks; };

    auto send = [&](UINT mouse) { SendMessageW(tray.Handle(), kTrayCallbackMessage, 0, mouse); };
    send(WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(app.hwnd));
    send(WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(app.hwnd));
    // A double click is two clicks and the double-click message itself.
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) send(m);
    EXPECT_EQ(toggles, 4);
    EXPECT_FALSE(IsWindowVisible(app.hwnd));
    send(WM_MOUSEMOVE);
    send(WM_RBUTTONDOWN);
    EXPECT_EQ(shownMenus, 0);
    send(WM_RBUTTONUP);
    EXPECT_EQ(shownMenus, 1);
    EXPECT_EQ(rightClicks, 1);
    EXPECT_EQ(toggles, 4);
    tray.SetActive(false);
    DestroyMenu(menu);
}

TEST(TrayIcon, ShowAppDecidesWhetherTheWindowHasATaskbarButton) {
    test::HostWindow app(nullptr);
    TTrayIcon tray;
    tray.SetAppWindow(app.hwnd);
    EXPECT_EQ(GetWindow(app.hwnd, GW_OWNER), tray.Handle());
    tray.SetShowApp(true);
    EXPECT_EQ(GetWindow(app.hwnd, GW_OWNER), nullptr);
}

}  // namespace
}  // namespace lark
