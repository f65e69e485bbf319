// The main window's life as the user meets it: its buttons, the tray icon, minimising,
// Refresh's wait, the end of a Windows session and a start that fails.
#include <stdexcept>

#include "app/main_window_win_test_support.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

std::string FormValue(FakeRegistry& registry, const char* name) {
    return registry
        .Read(RegistryRoot::CurrentUser, "Software\\Brannock\\Larkspire\\Form\\fmOpen", name)
        .value_or("<none>");
}

TEST_F(MainWindowViews, EveryButtonReachesItsCommandWhenClicked) {
    StartWithSearchDialog();
    HWND main = form->Handle();
    auto panelShown = [&] { return IsWindowVisible(Layout().sidePanel) != FALSE; };
    struct Case {
        const char* control;
        std::function<void()> click;
        const wchar_t* opensClass;  // the modal window the command opens, if any
        const wchar_t* opensCaption;
        std::function<bool()> done;  // what shows the command ran, when it opens nothing
    } cases[] = {
        {"Browse", [&] { SendMessageW(Layout().buFindFile, BM_CLICK, 0, 0); }, L"#32770", L"Open",
         nullptr},
        {"Go", [&] { SendMessageW(Layout().buOpen, BM_CLICK, 0, 0); }, nullptr, nullptr,
         [&] { return !IsWindowVisible(main); }},
        {"Print", [&] { ClickToolButton(kCmdPrint); }, nullptr, nullptr,
         [&] { return !IsWindowVisible(main); }},
        {"View style", [&] { ClickToolButton(kCmdViewStyles); }, L"#32768", nullptr, nullptr},
        {"Search", [&] { ClickToolButton(kCmdSearch); }, L"#32770", L"Search Parameters", nullptr},
        {"Views", [&] { ClickToolButton(kCmdShowViews); }, nullptr, nullptr, panelShown},
        {"Close side panel", [&] { SendMessageW(Layout().buCloseTreeview, BM_CLICK, 0, 0); },
         nullptr, nullptr, [&] { return !panelShown(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        if (!IsWindowVisible(main)) ClickTray();
        ASSERT_TRUE(IsWindowVisible(main));
        if (c.opensClass) {
            ModalWatch watch(main, c.opensClass, c.opensCaption);
            c.click();
            EXPECT_TRUE(watch.Seen());
        } else {
            c.click();
            EXPECT_TRUE(c.done());
        }
    }
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MainWindowViews, MinimisedWindowComesBackRestoredFromTheTray) {
    Start();
    HWND main = form->Handle();
    ClickTray();
    SetWindowPos(main, nullptr, 120, 80, 700, 450, SWP_NOZORDER);
    struct Case {
        const char* how;
        bool maximisedFirst;
        std::function<void()> minimise;
    } cases[] = {
        {"title-bar button", false, [&] { SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
        {"minimised from elsewhere", false, [&] { ShowWindow(main, SW_MINIMIZE); }},
        {"maximised, then the button", true,
         [&] { SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
        {"the button again", false, [&] { SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        ShowWindow(main, c.maximisedFirst ? SW_MAXIMIZE : SW_RESTORE);
        c.minimise();
        // However it went away, one click brings it back whole and in front.
        ClickTray();
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_FALSE(IsIconic(main));
        EXPECT_EQ(IsZoomed(main) != FALSE, c.maximisedFirst);
        EXPECT_EQ(GetForegroundWindow(), main);
        ClickTray();
        EXPECT_FALSE(IsWindowVisible(main));
        ClickTray();
        EXPECT_TRUE(IsWindowVisible(main));
    }
    // Exit while minimised stores the normal place, never the minimised one.
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ShowWindow(main, SW_MINIMIZE);
    form->puExitClick();
    wintree::PumpUntil([&] { return !IsWindow(main); }, 5000);
    EXPECT_EQ(FormValue(registry, "Left"), "120");
    EXPECT_EQ(FormValue(registry, "Top"), "80");
    EXPECT_EQ(FormValue(registry, "Width"), "700");
    EXPECT_EQ(FormValue(registry, "Height"), "450");
    EXPECT_EQ(FormValue(registry, "WindowState"), "<none>");
}

TEST_F(MainWindowViews, EndOfSessionKeepsStyleAndPlaceBeforeItReturns) {
    Start();
    HWND main = form->Handle();
    ClickTray();
    SetWindowPos(main, nullptr, 60, 40, 640, 400, SWP_NOZORDER);
    Command(kCmdViewStyleList);
    EXPECT_EQ(SendMessageW(main, WM_QUERYENDSESSION, 0, 0), TRUE);
    // Windows may end the process as soon as this returns: nothing waits for a posted close.
    SendMessageW(main, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ReadOption(registry, "ViewStyle", ""), "2");
    EXPECT_EQ(FormValue(registry, "Left"), "60");
    EXPECT_EQ(FormValue(registry, "Width"), "640");
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(MainWindowViews, RefreshKeepsTheWaitCursorWhileItWaits) {
    Doc("letter.txt");
    Start();
    ClickTray();
    // The mouse moving over the list while Refresh waits, and once it is done.
    auto cursorAfterMouseMove = [&] {
        SendMessageW(List(), WM_SETCURSOR, reinterpret_cast<WPARAM>(List()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    HCURSOR duringWait = nullptr;
    test::HostWindow mouse([&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_APP) return false;
        duringWait = cursorAfterMouseMove();
        return true;
    });
    PostMessageW(mouse.hwnd, WM_APP, 0, 0);
    PressKey(VK_F5);
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    EXPECT_EQ(duringWait, wait) << "the message was handled during the wait";
    EXPECT_NE(cursorAfterMouseMove(), wait);
}

// A registry that fails the way a damaged one does: every read throws.
struct ThrowingRegistry final : Registry {
    std::optional<std::string> Read(RegistryRoot, std::string_view, std::string_view) override {
        throw std::runtime_error("registry read failed");
    }
    bool Write(RegistryRoot, std::string_view, std::string_view, std::string_view) override {
        return true;
    }
};

TEST(ProgramEntry, AStartThatFailsIsShownBeforeTheProgramEnds) {
    std::vector<std::string> shown;
    GeneralErrorBox previous =
        SetGeneralErrorBox([&](std::string_view text) { shown.emplace_back(text); });
    FakeFileSystem fs;
    ThrowingRegistry registry;
    FakeClock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,     registry,   clock,       messages, settings, "C:\\App\\Larkspire.exe",
                   "jdoe", "C:\\Temp", "C:\\Recent"};
    std::vector<std::string> noParameters;
    const int rc = RunReportingFailure([&] {
        TfmOpen main(ctx, &noParameters);
        return 0;
    });
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(shown, std::vector<std::string>{"registry read failed"});
    // The half-made window went with it, so no later message reaches freed memory.
    EXPECT_EQ(FindWindowW(L"TfmOpen", nullptr), nullptr);
    SetGeneralErrorBox(std::move(previous));
}

}  // namespace
}  // namespace lark
