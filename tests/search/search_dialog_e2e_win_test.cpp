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

namespace lark {
namespace {

namespace fs = std::filesystem;

constexpr UINT kInstanceCommand = WM_USER + 1;

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[512] = L"";
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, LPARAM(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[128] = L"";
    GetClassNameW(hwnd, name, 128);
    return name;
}

HWND FindProcessWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption) {
    struct Search {
        DWORD pid;
        const std::wstring* cls;
        const std::wstring* caption;
        HWND found;
    } search{pid, &cls, &caption, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->pid || ClassOf(hwnd) != *s->cls) return TRUE;
            if (!s->caption->empty() && WindowText(hwnd) != *s->caption) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

HWND FindChildOfClass(HWND parent, const std::wstring& cls) {
    struct Search {
        const std::wstring* cls;
        HWND found;
    } search{&cls, nullptr};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (ClassOf(hwnd) != *s->cls) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

// The names in the first column of another process's list view, read through a buffer in
// that process.
std::vector<std::string> ListViewNames(HANDLE process, HWND list) {
    std::vector<std::string> names;
    int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    constexpr size_t kChars = 512;
    size_t bytes = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<BYTE*>(
        VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote) return names;
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.cchTextMax = kChars;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LVM_GETITEMTEXTW, WPARAM(i), LPARAM(remote), SMTO_ABORTIFHUNG,
                            5000, &length);
        std::wstring text(kChars, L'\0');
        ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t),
                          nullptr);
        text.resize(std::min<size_t>(length, kChars));
        names.push_back(Narrow(text));
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return names;
}

// The program copied into a folder of its own, with its own settings file, so nothing of
// the shared build folder or of another test's data is touched.
class RunningProgram {
  public:
    RunningProgram(const fs::path& folder, const std::string& settingsText) {
        fs::create_directories(folder);
        exe_ = folder / "Larkspire.exe";
        fs::copy_file(fs::path(Widen(ToWindowsPath(LARKSPIRE_EXE_UNIX_PATH))), exe_,
                      fs::copy_options::overwrite_existing);
        std::ofstream(folder / "LARKSPIRE.ini", std::ios::binary) << settingsText;
        std::wstring commandLine = L"\"" + exe_.wstring() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        started_ = CreateProcessW(exe_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, folder.c_str(), &si, &pi_);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram() {
        if (!started_) return;
        if (HWND main = MainWindow()) PostMessageW(main, kInstanceCommand, 2, -1);
        if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    static std::string ToWindowsPath(std::string unixPath) {
        std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
        return "Z:" + unixPath;
    }

    bool Started() const { return started_ != FALSE; }
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }
    HWND MainWindow() const { return FindProcessWindow(pi_.dwProcessId, L"TfmOpen", L""); }

  private:
    fs::path exe_;
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

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
    bool indexed = WaitFor(
        [&] {
            HANDLE file = CreateFileW(IndexFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) return false;
            CloseHandle(file);
            return true;
        },
        30000);
    if (!indexed) {
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
    ASSERT_TRUE(WaitFor([&] { return WindowText(main) == expectedCaption; }, 20000))
        << Narrow(WindowText(main));
    HWND list = FindChildOfClass(main, L"SysListView32");
    std::vector<std::string> names = ListViewNames(program.Process(), list);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"annual report.txt", "report_2024.doc"}));
}

}  // namespace
}  // namespace lark
