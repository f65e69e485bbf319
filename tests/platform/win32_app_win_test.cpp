#include "app/win32_app_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "app/text.h"
#include "app/wait_pumping_win.h"
#include "platform/win32/encoding_win.h"

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

// Answers the next "Larkspire" box of this process with a button, noting its text and owner.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(int button)
        : thread_([this, button] {
              for (int i = 0; i < 500 && !found_; ++i) {
                  HWND box = FindWindowW(L"#32770", L"Larkspire");
                  if (box) {
                      wchar_t text[256] = {};
                      GetDlgItemTextW(box, 0xFFFF, text, 256);
                      text_ = Narrow(text);
                      owner_ = GetWindow(box, GW_OWNER);
                      hasYes_ = GetDlgItem(box, IDYES) != nullptr;
                      found_ = true;
                      PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                                   LPARAM(GetDlgItem(box, button)));
                      return;
                  }
                  Sleep(10);
              }
          }) {}
    ~BoxAnswerer() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    std::string text_;
    HWND owner_ = nullptr;
    bool hasYes_ = false;
    std::atomic<bool> found_{false};

  private:
    std::thread thread_;
};

TEST(Win32Messages, BoxesCarryTheTextAndAnswerOnlyYes) {
    Win32Messages messages;
    const std::string greek = "\xce\x94\xce\xbf\xce\xba\xce\xb9\xce\xbc\xce\xae";
    {
        BoxAnswerer answer(IDOK);
        messages.Error("Config file not found: C:\\" + greek + "\\LARKSPIRE.ini");
        answer.Join();
        EXPECT_TRUE(answer.found_);
        EXPECT_EQ(answer.text_, "Config file not found: C:\\" + greek + "\\LARKSPIRE.ini");
        EXPECT_FALSE(answer.hasYes_);
    }
    {
        BoxAnswerer answer(IDYES);
        EXPECT_TRUE(messages.Confirm("Delete it?"));
        answer.Join();
        EXPECT_EQ(answer.text_, "Delete it?");
        EXPECT_TRUE(answer.hasYes_);
    }
    {
        BoxAnswerer answer(IDNO);
        EXPECT_FALSE(messages.Confirm("Delete it?"));
    }
    HWND owner = CountingWindow();
    messages.SetOwner(owner);
    {
        BoxAnswerer answer(IDOK);
        messages.Info("Done.");
        answer.Join();
        EXPECT_EQ(answer.text_, "Done.");
        EXPECT_EQ(answer.owner_, owner);
    }
    DestroyWindow(owner);
}

TEST(Win32App, ContextDescribesThisProcess) {
    Win32App app;
    AppContext& ctx = app.Context();
    EXPECT_EQ(&ctx.settings, &app.AppSettings());
    EXPECT_EQ(&ctx.messages, &app.MessageBoxes());
    EXPECT_TRUE(EndsWithIgnoringCase(ctx.exePath, "platform_win_tests.exe")) << ctx.exePath;
    EXPECT_TRUE(ctx.fs.IsFile(ctx.exePath));
    EXPECT_FALSE(ctx.userName.empty());
    EXPECT_EQ(ctx.userName, UserLoginName());
    EXPECT_TRUE(ctx.fs.IsFolder(ctx.tempFolder)) << ctx.tempFolder;
    EXPECT_NE(ctx.tempFolder.back(), '\\');
    EXPECT_FALSE(ctx.recentFolder.empty());
    EXPECT_EQ(ctx.settings.CurrentSearchSet, nullptr);
    EXPECT_EQ(ctx.settings.DataLocation, "C:\\Documents and Settings");
}

}  // namespace
}  // namespace lark
