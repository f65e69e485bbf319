// "Search and replace" end to end: the real program on a generated tree, driven from this
// process through its menu, the search dialog and the activity window.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/win32/encoding_win.h"
#include "res/replace_ids.h"
#include "res/search_dialog_ids.h"
#include "support/running_program.h"

namespace lark {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::string& data) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << data;
}

std::map<std::string, std::string> TreeContents(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[Narrow(fs::relative(entry.path(), root).wstring())] = ReadBytes(entry.path());
    }
    return files;
}

void PressKeys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        Sleep(150);
    }
}

// The program's settings for a tree under root, with its data beside it.
std::string SettingsFor(const fs::path& root) {
    return "[General]\r\nDataLocation=" + Narrow((root / "LarkspireData").wstring()) +
           "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n\r\n[Domain.<Default>]\r\nInclude=" +
           Narrow((root / "Tree").wstring()) + "\r\n";
}

// Waits for the program's index and window, then opens Search > Search and replace from the
// keyboard (the fourth menu, its second item). Returns the dialog.
HWND OpenSearchAndReplace(RunningProgram& program, const fs::path& root, HWND& main) {
    if (!WaitFor([&] { return (main = program.MainWindow()) != nullptr; }, 20000)) return nullptr;
    if (!WaitForClosedFile(root / "LarkspireData" / "All Users" / "All files.idx", 30000))
        return nullptr;
    PostMessageW(main, kInstanceCommand, 0, 0);
    if (!WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 10000)) return nullptr;
    SetForegroundWindow(main);
    Sleep(300);
    PressKeys({VK_F10, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            return (dialog = FindProcessWindow(program.Id(), L"#32770", L"Search Parameters")) !=
                   nullptr;
        },
        10000);
    return dialog;
}

LRESULT Send(HWND to, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(to, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &result);
    return LRESULT(result);
}

// Fills in the dialog as a user types and clicks: keywords, pairs, "Replace file", "Show
// Logfile", OK.
void AskForReplace(HWND dialog, const wchar_t* keywords, const wchar_t* pairs) {
    Send(GetDlgItem(dialog, IDC_SEARCH_ED_KEYWORDS), WM_SETTEXT, 0, LPARAM(keywords));
    Send(GetDlgItem(dialog, IDC_SEARCH_ME_SEARCH_REPLACE), EM_REPLACESEL, TRUE, LPARAM(pairs));
    Send(GetDlgItem(dialog, IDC_SEARCH_CHK_REPLACE), BM_CLICK, 0, 0);
    Send(GetDlgItem(dialog, IDC_SEARCH_CHK_SHOW_LOG), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

std::string MemoText(HWND memo) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(memo, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(memo, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return Narrow(text.c_str());
}

fs::path FreshRoot(const char* tag) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    fs::path root = fs::path(temp) / (std::string(tag) + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    return root;
}

TEST(ReplaceEndToEnd, SearchAndReplaceRewritesExactlyTheFilesWithHits) {
    const fs::path root = FreshRoot("lark-e2e-replace-");
    const fs::path tree = root / "Tree";
    const std::string zeros(300, '\0');
    struct File {
        const char* name;
        std::string before, after;
    };
    const File files[] = {
        {"docs\\doc_a.txt", "alpha one\r\nnothing\r\nbeta two\r\n",
         "gamma one\r\nnothing\r\ndelta two\r\n"},
        {"docs\\doc_b.txt", "x Alpha\nBETA\n", "x gamma\ndelta\n"},
        {"docs\\doc_c.txt", "no hits here\r\n", "no hits here\r\n"},
        {"docs\\doc_blob.bin", zeros + "alpha" + zeros, zeros + "gamma" + zeros},
        {"docs\\sub\\doc_d.txt", "alphabet\r\n", "gammabet\r\n"},
        // Found by no search: the keyword is not in its name.
        {"other\\notes.txt", "alpha\r\n", "alpha\r\n"},
    };
    for (const File& f : files) WriteBytes(tree / f.name, f.before);
    {
        RunningProgram program(root / "App", SettingsFor(root));
        ASSERT_TRUE(program.Started());
        HWND main = nullptr;
        HWND dialog = OpenSearchAndReplace(program, root, main);
        ASSERT_NE(dialog, nullptr) << "the menu opened no search dialog";
        AskForReplace(dialog, L"doc", L"alpha\tgamma\r\nbeta\tdelta");

        // The activity window shows the run, which ends with its closing line.
        HWND activity = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] {
                return (activity = FindProcessWindow(program.Id(), L"#32770",
                                                     L"Full Text Search/Replace Results")) !=
                       nullptr;
            },
            20000));
        std::string log;
        ASSERT_TRUE(WaitFor(
            [&] {
                log = MemoText(GetDlgItem(activity, IDC_REPLACE_TXT_STATUS));
                return log.find("Finished!") != std::string::npos;
            },
            30000))
            << log;
        EXPECT_TRUE(IsWindowVisible(activity));
        // The log line, four "Replaced:" lines, the non-text file's report and the end.
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 9) << log;

        // After a writing run the view lists the non-text files that had hits.
        ASSERT_TRUE(
            WaitFor([&] { return RemoteWindowText(main) == L"Larkspire - <Search=\"doc\">"; }, 20000));
        std::vector<std::string> names =
            ListViewNames(program.Process(), FindChildOfClass(main, L"SysListView32"));
        EXPECT_EQ(names, std::vector<std::string>{"doc_blob.bin"});
    }
    std::map<std::string, std::string> expected;
    for (const File& f : files) expected[f.name] = f.after;
    EXPECT_EQ(TreeContents(tree), expected);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

// Exit while a run streams a large file: the run stops at once, the file keeps its content
// and the program ends normally.
TEST(ReplaceEndToEnd, ExitDuringARunLeavesTheFileAndEnds) {
    const fs::path root = FreshRoot("lark-e2e-replace-exit-");
    std::string big;
    big.reserve(size_t(64) << 20);
    while (big.size() < (size_t(64) << 20)) big += std::string(1021, '\x05') + "cat";
    WriteBytes(root / "Tree" / "big" / "doc_big.bin", big);
    DWORD exitCode = STILL_ACTIVE;
    {
        RunningProgram program(root / "App", SettingsFor(root));
        ASSERT_TRUE(program.Started());
        HWND main = nullptr;
        HWND dialog = OpenSearchAndReplace(program, root, main);
        ASSERT_NE(dialog, nullptr);
        AskForReplace(dialog, L"doc_big", L"cat\tdog");
        // The run shows its window first thing; Exit then comes while it works.
        ASSERT_TRUE(WaitFor(
            [&] {
                HWND activity =
                    FindProcessWindow(program.Id(), L"#32770", L"Full Text Search/Replace Results");
                return activity && IsWindowVisible(activity);
            },
            20000));
        PostMessageW(main, kInstanceCommand, 2, -1);
        EXPECT_EQ(WaitForSingleObject(program.Process(), 10000), WAIT_OBJECT_0);
        GetExitCodeProcess(program.Process(), &exitCode);
    }
    EXPECT_EQ(exitCode, 0u);
    const std::string after = ReadBytes(root / "Tree" / "big" / "doc_big.bin");
    std::string replaced = big;
    for (size_t at = replaced.find("cat"); at != std::string::npos; at = replaced.find("cat", at))
        replaced.replace(at, 3, "dog");
    EXPECT_TRUE(after == big) << (after == replaced ? "replaced whole" : "changed in part");
    EXPECT_EQ(TreeContents(root / "Tree").size(), 1u);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

}  // namespace
}  // namespace lark
