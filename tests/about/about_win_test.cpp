#include "about/about_win.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "res/resource.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

struct Seen {
    std::wstring caption, product, version, system, memory;
    bool closed = false;
} seen;

std::wstring Item(HWND dlg, int id) {
    wchar_t buf[256] = {};
    GetDlgItemTextW(dlg, id, buf, 256);
    return buf;
}

void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dlg = FindWindowW(L"#32770", L"About Larkspire");
    if (!dlg) return;
    KillTimer(nullptr, timer);
    seen.product = Item(dlg, IDC_ABOUT_PRODUCT);
    seen.version = Item(dlg, IDC_ABOUT_VERSION);
    seen.system = Item(dlg, IDC_ABOUT_SYSTEM);
    seen.memory = Item(dlg, IDC_ABOUT_MEMORY);
    seen.closed = true;
    SendMessageW(dlg, WM_COMMAND, IDOK, 0);
}

TEST(AboutBox, ShowsProductVersionSystemAndMemoryAndClosesWithOk) {
    FakeRegistry reg;
    reg.Write(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
              "ProductName", "Test Windows");
    ASSERT_NE(test::ProgramResources(), nullptr);
    SetTimer(nullptr, 0, 50, ReadAndClose);
    ShowAboutBox(nullptr, test::ProgramResources(), test::ProgramPath(), reg);
    ASSERT_TRUE(seen.closed);
    EXPECT_EQ(seen.product, L"Larkspire");
    EXPECT_EQ(seen.version.rfind(L"Version 1.", 0), 0u) << seen.version;
    EXPECT_EQ(seen.system.rfind(L"Test Windows, version ", 0), 0u) << seen.system;
    EXPECT_EQ(seen.memory.rfind(L"Memory available to Windows: ", 0), 0u);
    EXPECT_NE(seen.memory.find(L" KB"), std::wstring::npos);
    // An About box the user never moved leaves no trace in the registry beyond what it read.
    EXPECT_EQ(reg.writes, 1);
}

}  // namespace
}  // namespace lark
