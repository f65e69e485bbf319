// The Properties dialog end to end: the real program, opened from the search dialog's
// "Search Domain" button and driven from this process as a user drives it.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/encoding_win.h"
#include "res/properties_ids.h"
#include "res/search_dialog_ids.h"
#include "support/running_program.h"

namespace lark {
namespace {

namespace fs = std::filesystem;
using test::FindProcessWindow;
using test::RemoteWindowText;
using test::RunningProgram;
using test::WaitFor;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Types over the whole text of an edit box of the other process.
void TypeInto(HWND edit, const std::wstring& text) {
    SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, nullptr);
    SendMessageTimeoutW(edit, EM_REPLACESEL, TRUE, LPARAM(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

class PropertiesEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        root_ = fs::path(temp) / ("lark-e2e-properties-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(root_);
        for (const char* folder : {"Tree\\Letters", "Tree\\Work", "Tree\\Other"})
            fs::create_directories(root_ / folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string Folder(const char* relative) const { return Narrow((root_ / relative).wstring()); }
    fs::path IndexFile() const { return root_ / "LarkspireData" / "All Users" / "All files.idx"; }

    fs::path root_;
};

TEST_F(PropertiesEndToEnd, SearchDomainButtonStoresANewDomainAndTheIndexFollowsIt) {
    const fs::path app = root_ / "App";
    RunningProgram program(app, "[General]\r\nDataLocation=" + Folder("LarkspireData") +
                                    "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n\r\n"
                                    "[Domain.<Default>]\r\nInclude=" +
                                    Folder("Tree") + "\r\n");
    ASSERT_TRUE(program.Started());
    HWND main = program.ShowMainWindow();
    ASSERT_NE(main, nullptr);
    // The start-up build over the default domain.
    ASSERT_TRUE(WaitFor([&] { return ReadText(IndexFile()).rfind(Folder("Tree") + ";::", 0) == 0; },
                        30000));

    PostMessageW(test::FindChildOfClass(main, L"SysListView32"), WM_KEYDOWN, VK_F3, 0);
    HWND search = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (search = FindProcessWindow(program.Id(), L"#32770", L"Search Parameters")); },
        10000));
    EXPECT_EQ(RemoteWindowText(GetDlgItem(search, IDC_SEARCH_LB_SEARCH_DOMAIN)), L"<Default>");
    HWND domainButton = GetDlgItem(search, IDC_SEARCH_BU_SEARCH_PATHS);
    ASSERT_TRUE(IsWindowEnabled(domainButton));
    PostMessageW(domainButton, BM_CLICK, 0, 0);

    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            dialog = FindProcessWindow(program.Id(), L"#32770", L"Larkspire Properties");
            return dialog && IsWindowVisible(dialog);
        },
        10000));
    // Opened from the search dialog: the "Search Domains" page.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_PROP_CO_SEARCH_SET)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_PROP_ED_DATA_LOCATION)));
    EXPECT_EQ(RemoteWindowText(GetDlgItem(dialog, IDC_PROP_ME_SEARCH_PATHS)),
              Widen(Folder("Tree")));

    HWND nameBox =
        FindWindowExW(GetDlgItem(dialog, IDC_PROP_CO_SEARCH_SET), nullptr, L"Edit", nullptr);
    ASSERT_NE(nameBox, nullptr);
    TypeInto(nameBox, L"Projects");
    TypeInto(GetDlgItem(dialog, IDC_PROP_ME_SEARCH_PATHS),
             Widen(Folder("Tree\\Letters") + "\r\n" + Folder("Tree\\Work")));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 10000));

    // Stored in LARKSPIRE.ini, read back as the program would read it.
    const std::string ini = ReadText(app / "LARKSPIRE.ini");
    EXPECT_NE(ini.find("\r\n[Domain.<Default>]\r\nInclude=" + Folder("Tree") + "\r\n"),
              std::string::npos)
        << ini;
    EXPECT_NE(ini.find("\r\n[Domain.Projects]\r\nInclude=" + Folder("Tree\\Letters") +
                       "\r\nInclude=" + Folder("Tree\\Work") + "\r\n"),
              std::string::npos)
        << ini;
    EXPECT_NE(ini.find("RefreshFixedSchedule=F\r\n"), std::string::npos);
    // The search dialog names the new current domain.
    EXPECT_TRUE(WaitFor(
        [&] {
            return RemoteWindowText(GetDlgItem(search, IDC_SEARCH_LB_SEARCH_DOMAIN)) == L"Projects";
        },
        5000));
    PostMessageW(search, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(search); }, 10000));

    // Refresh on every change: the next idle moment rebuilds the index over the new domain.
    const std::string header = Folder("Tree\\Letters") + ";" + Folder("Tree\\Work") + ";::";
    EXPECT_TRUE(WaitFor([&] { return ReadText(IndexFile()).rfind(header, 0) == 0; }, 30000))
        << ReadText(IndexFile()).substr(0, 300);
}

}  // namespace
}  // namespace lark
