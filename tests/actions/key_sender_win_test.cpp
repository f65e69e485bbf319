// Keystroke scripts pressed for real into an edit box of this process, and the waits.
#include "actions/key_sender_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/encoding_win.h"
#include "support/window_test_helpers.h"
#include "ui/message_pump_win.h"

namespace lark {
namespace {

struct TypingBox {
    test::HostWindow host{[](HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }};
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10,
                                400, 24, host.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    TypingBox() {
        ShowWindow(host.hwnd, SW_SHOW);
        SetForegroundWindow(host.hwnd);
    }
    std::string Text() const {
        wchar_t text[256] = L"";
        GetWindowTextW(edit, text, 256);
        return Narrow(text);
    }
};

TEST(SendKeyScript, TypesIntoTheFocusedBox) {
    struct Case {
        const char* script;
        const char* typed;
    };
    const Case cases[] = {
        {"Ab", "Ab"},
        {"+abc", "Abc"},
        {"a{,}b,c", "a,bc"},
        {"{~}{+}{%}{^}{{}", "~+%^{"},
        {"x{BS}y", "y"},
        {"abc{LEFT 2}X", "aXbc"},
        {"{a 3}", "aaa"},
        {"{TAB x}", "TAB x}"},
        // Characters no key of the layout types arrive as Unicode key events.
        {"J\xC3\xBCrgen \xE2\x82\xAC \xF0\x9F\x98\x80",
         "J\xC3\xBCrgen \xE2\x82\xAC \xF0\x9F\x98\x80"},
    };
    TypingBox box;
    for (const Case& c : cases) {
        SetWindowTextW(box.edit, L"");
        SetFocus(box.edit);
        SendKeyScript(c.script, 1);
        PumpUntil([&] { return box.Text() == c.typed; }, 3000);
        EXPECT_EQ(box.Text(), c.typed) << c.script;
    }
}

TEST(KeyWaits, EndWithTheWindowTheProcessOrTheLimit) {
    TypingBox box;
    HWND closing = CreateWindowExW(0, L"STATIC", L"closing", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(closing);
    ASSERT_EQ(GetForegroundWindow(), closing);
    SetTimer(box.host.hwnd, 1, 300, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
        KillTimer(hwnd, id);
        DestroyWindow(FindWindowW(L"STATIC", L"closing"));
    });
    // "{PAUSE}": until the window in front has been closed, keeping this thread's windows
    // served (the timer that closes it runs meanwhile).
    DWORD start = GetTickCount();
    SendKeyScript("{PAUSE}", 0);
    EXPECT_FALSE(IsWindow(closing));
    EXPECT_GE(GetTickCount() - start, 250u);

    start = GetTickCount();
    EXPECT_FALSE(WaitWhileWindowExists(box.host.hwnd, 200));
    EXPECT_GE(GetTickCount() - start, 190u);
    EXPECT_TRUE(WaitWhileWindowExists(closing, -1));

    EXPECT_TRUE(WaitForInputIdleOf(GetCurrentProcessId(), 5));
    EXPECT_FALSE(WaitForInputIdleOf(0, 5));
    EXPECT_FALSE(WaitForInputIdleOf(0x7FFFFFF0, 5));
}

}  // namespace
}  // namespace lark
