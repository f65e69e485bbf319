#include "ui/my_form_win.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

const std::string kKey = "Software\\Brannock\\Larkspire\\Form\\fmOpen";
ScreenSize Screen1024() {
    return {1024, 768};
}

std::optional<std::string> Stored(FakeRegistry& reg, const char* name) {
    return reg.Read(RegistryRoot::CurrentUser, kKey, name);
}

TEST(MyFormWindow, NeverMovedWindowWritesNothing) {
    FakeRegistry reg;
    test::HostWindow host(nullptr);
    TMyForm form(reg, "fmOpen", Screen1024);
    form.RestorePlacement(host.hwnd);
    EXPECT_EQ(form.Tag, 0);
    EXPECT_EQ(form.SavedWidth, 730);
    form.StorePlacement();
    EXPECT_EQ(reg.writes, 0);
    EXPECT_EQ(form.Tag, 99);
}

TEST(MyFormWindow, PlacementRoundTripAndScreenRules) {
    FakeRegistry reg;
    {
        test::HostWindow host(nullptr);
        TMyForm form(reg, "fmOpen", Screen1024);
        form.RestorePlacement(host.hwnd);
        SetWindowPos(host.hwnd, nullptr, 40, 50, 600, 400, SWP_NOZORDER);
        form.StorePlacement();
    }
    EXPECT_EQ(Stored(reg, "Left"), "40");
    EXPECT_EQ(Stored(reg, "Top"), "50");
    EXPECT_EQ(Stored(reg, "Width"), "600");
    EXPECT_EQ(Stored(reg, "Height"), "400");
    EXPECT_FALSE(Stored(reg, "WindowState"));
    {
        test::HostWindow host(nullptr);
        TMyForm form(reg, "fmOpen", Screen1024);
        form.RestorePlacement(host.hwnd);
        RECT r;
        GetWindowRect(host.hwnd, &r);
        EXPECT_EQ(r.left, 40);
        EXPECT_EQ(r.top, 50);
        EXPECT_EQ(r.right - r.left, 600);
        EXPECT_EQ(form.SavedHeight, 400);
    }

    // A width stored on a wider screen, and a bottom edge inside the last 30 pixels.
    reg.Write(RegistryRoot::CurrentUser, kKey, "Width", "5000");
    reg.Write(RegistryRoot::CurrentUser, kKey, "Left", "300");
    reg.Write(RegistryRoot::CurrentUser, kKey, "Top", "360");
    test::HostWindow host(nullptr);
    TMyForm form(reg, "fmOpen", Screen1024);
    form.RestorePlacement(host.hwnd);
    RECT r;
    GetWindowRect(host.hwnd, &r);
    EXPECT_EQ(r.right - r.left, 972);
    EXPECT_EQ(r.left, 52);
    EXPECT_EQ(r.top, 768 - 400 - 30);
}

TEST(MyFormWindow, MaximisedWindowReopensMaximisedAndKeepsItsNormalPlacement) {
    FakeRegistry reg;
    {
        test::HostWindow host(nullptr);
        TMyForm form(reg, "fmOpen", Screen1024);
        form.RestorePlacement(host.hwnd);
        form.ShowForm();
        ShowWindow(host.hwnd, SW_MAXIMIZE);
        form.StorePlacement();
    }
    EXPECT_EQ(Stored(reg, "WindowState"), "2");
    EXPECT_FALSE(Stored(reg, "Left"));
    reg.Write(RegistryRoot::CurrentUser, kKey, "Left", "5");

    test::HostWindow host(nullptr);
    TMyForm form(reg, "fmOpen", Screen1024);
    form.RestorePlacement(host.hwnd);  // created hidden, as the main window is
    EXPECT_EQ(form.SavedWindowState, 2);
    RECT r;
    GetWindowRect(host.hwnd, &r);
    EXPECT_EQ(r.left, 100) << "the normal position of a maximised window is not read";
    form.ShowForm();
    EXPECT_TRUE(IsZoomed(host.hwnd));
    form.HideForm();
    form.ShowForm();
    EXPECT_TRUE(IsZoomed(host.hwnd)) << "hiding to the tray keeps the state";
    const int writesBefore = reg.writes;
    form.StorePlacement();
    EXPECT_EQ(reg.writes, writesBefore);
}

}  // namespace
}  // namespace lark
