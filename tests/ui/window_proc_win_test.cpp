#include "ui/window_proc_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "about/about_win.h"
#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/shell.h"
#include "res/search_dialog_ids.h"
#include "search/search_dialog_win.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

// A registry that fails the way a damaged one does: every read throws.
struct ThrowingRegistry final : Registry {
    std::optional<std::string> Read(RegistryRoot, std::string_view, std::string_view) override {
        throw std::runtime_error("registry read failed");
    }
    bool Write(RegistryRoot, std::string_view, std::string_view, std::string_view) override {
        return true;
    }
};

struct NoShell final : ShellExecutor {
    intptr_t Execute(const ShellRequest&) override { return 42; }
};

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND dlg = FindWindowW(L"#32770", L"About Larkspire")) {
        KillTimer(nullptr, timer);
        SendMessageW(dlg, WM_COMMAND, IDOK, 0);
    }
}

// A handler that throws is abandoned and reported in the general error box; the window goes on.
TEST(SharedWindowProc, AHandlerThatThrowsReachesTheGeneralErrorBox) {
    std::vector<std::string> reported;
    GeneralErrorBox previous =
        SetGeneralErrorBox([&](std::string_view text) { reported.emplace_back(text); });

    // The About box reads its placement while it opens.
    ThrowingRegistry broken;
    TfmAbout about(broken, AboutFacts{"Larkspire", "Version 1", "", "", ""});
    SetTimer(nullptr, 0, 50, CloseAbout);
    about.ShowModal(nullptr, test::ProgramResources());
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "registry read failed");

    // The search dialog's "Search Domain" button, clicked, runs a handler that fails.
    FakeFileSystem fs;
    FakeRegistry registry;
    FakeClock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs, registry, clock, messages, settings, "C:\\Larkspire.exe", "tester", "", ""};
    SearchCriteria criteria;
    NoShell shell;
    TfmSearch search(ctx, criteria, shell);
    search.FormCreate();
    search.SetSearchDomainHandler([](HWND) { throw std::runtime_error("Cannot open file X"); });
    search.PrepareSearchDialog(true);
    HWND dialog = search.ShowModeless(nullptr);
    ASSERT_NE(dialog, nullptr);
    SendMessageW(GetDlgItem(dialog, IDC_SEARCH_BU_SEARCH_PATHS), BM_CLICK, 0, 0);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1], "Cannot open file X");
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(dialog);

    SetGeneralErrorBox(std::move(previous));
}

}  // namespace
}  // namespace lark
