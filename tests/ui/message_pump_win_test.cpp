#include "ui/message_pump_win.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lark {
namespace {

struct Counts {
    int posted = 0;
    int timer = 0;
};
Counts gCounts;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP + 1) ++gCounts.posted;
    if (msg == WM_TIMER) ++gCounts.timer;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CountingWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LarkspireTestCounting";
    RegisterClassW(&wc);
    return CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

TEST(WaitPumping, WaitsTheTimeWhileDispatchingMessages) {
    HWND hwnd = CountingWindow();
    ASSERT_NE(hwnd, nullptr);
    gCounts = {};
    PostMessageW(hwnd, WM_APP + 1, 0, 0);
    SetTimer(hwnd, 1, 20, nullptr);
    const DWORD start = GetTickCount();
    WaitPumping(250);
    const DWORD elapsed = GetTickCount() - start;
    KillTimer(hwnd, 1);
    EXPECT_GE(elapsed, 250u);
    EXPECT_LT(elapsed, 2000u);
    EXPECT_EQ(gCounts.posted, 1);
    EXPECT_GE(gCounts.timer, 3);

    // A quit request ends the wait and is left for the message loop.
    PostQuitMessage(7);
    const DWORD quitStart = GetTickCount();
    WaitPumping(5000);
    EXPECT_LT(GetTickCount() - quitStart, 2000u);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    DestroyWindow(hwnd);
}

}  // namespace
}  // namespace lark
