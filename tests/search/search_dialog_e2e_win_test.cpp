// The search dialog end to end: the real program on a generated folder tree, driven from
// this process through its windows as a user would drive it.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/win32/encoding_win.h"
#include "res/search_dialog_ids.h"
#include "support/running_program.h"

namespace lark {
namespace {

namespace fs = std::filesystem;
using namespace test;

class SearchEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        root_ = fs::path(temp) / ("lark-e2e-search-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(root_);
        for (const char* file : {"Tree\\Letters\\annual report.txt", "Tree\\Letters\\memo.txt",
                                 "Tree\\Work\\Budget\\report_2024.doc",
                                 "Tree\\Work\\Budget\\sheet.xls", "Tree\\Work\\notes.txt"}) {
            fs::path path = root_ / file;
            fs::create_directories(path.parent_path());
            std::ofstream(path) << "content";
        }
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string Settings() const {
        std::string data = Narrow((root_ / "LarkspireData").wstring());
        std::string tree = Narrow((root_ / "Tree").wstring());
        return "[General]\r\nDataLocation=" + data +
               "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n\r\n[Domain.<Default>]\r\n"
               "Include=" +
               tree + "\r\n";
    }
    fs::path IndexFile() const { return root_ / "LarkspireData" / "All Users" / "All files.idx"; }
    // A data location whose name holds "Larkspire" keeps each user's files right under it.
    fs::path UserFolder() const {
        wchar_t name[256] = L"";
        DWORD size = 256;
        GetUserNameW(name, &size);
        return root_ / "LarkspireData" / name;
    }
    static std::string ReadText(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    HWND SearchFromTheDialog(RunningProgram& program, const wchar_t* keywords);

    fs::path root_;
};

// Starts the program on the tree, waits for its index, opens the search dialog with F3, types
// the keywords into it and confirms it with OK. Returns the main window.
HWND SearchEndToEnd::SearchFromTheDialog(RunningProgram& program, const wchar_t* keywords) {
    EXPECT_TRUE(program.Started());
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = program.MainWindow()) != nullptr; }, 20000)) {
        ADD_FAILURE() << "the main window did not appear";
        return nullptr;
    }
    // The index is complete once the builder has closed it: a reader that refuses other
    // writers then gets in.
    if (!WaitForClosedFile(IndexFile(), 30000)) {
        ADD_FAILURE() << "no index at " << Narrow(IndexFile().wstring());
        return nullptr;
    }
    PostMessageW(main, kInstanceCommand, 0, 0);
    if (!WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 10000)) {
        ADD_FAILURE() << "the main window was not shown";
        return nullptr;
    }
    // F3 pressed in the file list reaches the window before the list.
    PostMessageW(FindChildOfClass(main, L"SysListView32"), WM_KEYDOWN, VK_F3, 0);
    HWND dialog = nullptr;
    if (!WaitFor(
            [&] {
                return (dialog = FindProcessWindow(program.Id(), L"#32770",
                                                   L"Search Parameters")) != nullptr;
            },
            10000)) {
        ADD_FAILURE() << "F3 opened no search dialog";
        return nullptr;
    }
    SendMessageTimeoutW(GetDlgItem(dialog, IDC_SEARCH_ED_KEYWORDS), WM_SETTEXT, 0, LPARAM(keywords),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 LPARAM(GetDlgItem(dialog, IDOK)));
    if (!WaitFor([&] { return !IsWindow(dialog); }, 10000)) ADD_FAILURE() << "OK did not close";
    return main;
}

TEST_F(SearchEndToEnd, TheDialogOpenedByF3StoresTheConfirmedSearch) {
    RunningProgram program(root_ / "App", Settings());
    HWND main = SearchFromTheDialog(program, L"report");
    ASSERT_NE(main, nullptr);
    std::string history, criteria;
    ASSERT_TRUE(WaitFor(
        [&] {
            history = ReadText(UserFolder() / "Keywords.txt");
            criteria = ReadText(UserFolder() / "Search.lks");
            return !history.empty() && !criteria.empty();
        },
        10000));
    EXPECT_EQ(history, "report\r\n");
    EXPECT_NE(criteria.find("\r\nKeywords=report\r\n"), std::string::npos) << criteria;
}

TEST_F(SearchEndToEnd, LastSearchListsTheMatchingFiles) {
    RunningProgram program(root_ / "App", Settings());
    HWND main = SearchFromTheDialog(program, L"report");
    ASSERT_NE(main, nullptr);
    const std::wstring expectedCaption = L"Larkspire - <Search=\"report\">";
    ASSERT_TRUE(WaitFor([&] { return RemoteWindowText(main) == expectedCaption; }, 20000))
        << Narrow(RemoteWindowText(main));
    HWND list = FindChildOfClass(main, L"SysListView32");
    std::vector<std::string> names = ListViewNames(program.Process(), list);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"annual report.txt", "report_2024.doc"}));
}

}  // namespace
}  // namespace lark
