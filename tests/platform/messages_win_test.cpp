#include "platform/win32/messages_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/encoding_win.h"

namespace lark {
namespace {

HWND OwnerWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LarkspireTestOwner";
    RegisterClassW(&wc);
    return CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                         wc.hInstance, nullptr);
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
    HWND owner = OwnerWindow();
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

}  // namespace
}  // namespace lark
