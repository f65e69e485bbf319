// Insert into dialog and insert compressed end to end: a program of its own shows a real Save
// As or Open dialog; Larkspire is called up over it by a second start with /RUN, two files are
// chosen in its list with the keyboard and the command is picked from the list's menu with the
// keyboard. The dialog's file-name box must then hold the paths (or those of the compressed
// copies), one of them with a non-ASCII letter.
#include <windows.h>
// needs windows.h first
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/gzip_streams_win.h"
#include "actions/key_sender_win.h"
#include "app/command_ids_win.h"
#include "platform/win32/clipboard_win.h"
#include "platform/win32/encoding_win.h"
#include "support/running_program.h"
#include "support/win_tree_helpers.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

using test::FindProcessWindow;
using test::RemoteWindowText;
using test::WaitFor;
using wintree::TempTree;

constexpr int kLimitMs = 20000;
// "Brief an Jürgen.txt": the letter is written once, as its UTF-8 bytes.
constexpr const char* kLetterName = "Brief an J\xC3\xBCrgen.txt";

std::wstring WindowsPathOfUnix(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : wchar_t(c);
    return path;
}

std::string UserName() {
    wchar_t name[256] = L"";
    DWORD size = 256;
    GetUserNameW(name, &size);
    return Narrow(name);
}

void SetModifiedYear(const std::string& path, WORD year) {
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = 6;
    st.wDay = 1;
    st.wHour = 12;
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    HANDLE file = CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &ft);
    CloseHandle(file);
}

HWND ChildWithId(HWND parent, int id) {
    struct Search {
        int id;
        HWND found = nullptr;
    } search{id};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            if (GetDlgCtrlID(window) != s.id) return TRUE;
            s.found = window;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

// The small program with the dialog, closed with the dialog's Cancel at the end.
class DialogHost {
  public:
    DialogHost(bool save, const std::wstring& desktop) {
        started_ = test::StartProgram(WindowsPathOfUnix(FILE_DIALOG_HOST_UNIX_PATH),
                                      save ? L"save" : L"open", L"", desktop, pi_);
        caption_ = save ? L"Save As" : L"Open";
    }
    ~DialogHost() {
        if (!started_) return;
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    // Waits until the dialog is in front with the focus in its file-name box.
    bool Ready() {
        return started_ && WaitFor(
                               [&] {
                                   dialog = FindProcessWindow(pi_.dwProcessId, L"#32770", caption_);
                                   nameBox = dialog ? test::FocusOfThread(dialog) : nullptr;
                                   return nameBox && IsChild(dialog, nameBox) &&
                                          test::ClassOf(nameBox) == L"Edit" &&
                                          GetForegroundWindow() == dialog;
                               },
                               kLimitMs);
    }
    HWND dialog = nullptr;
    HWND nameBox = nullptr;

  private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
    std::wstring caption_;
};

std::string TempFolder() {
    wchar_t temp[MAX_PATH + 1] = L"";
    GetTempPathW(MAX_PATH + 1, temp);
    std::string folder = Narrow(temp);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

// What a gzip file holds, read by zlib; the file goes afterwards.
std::string Decompressed(const std::string& gzipPath) {
    const std::string plain = gzipPath + ".out";
    ZlibGzipStreams gzip;
    std::string error;
    std::string text = gzip.Decompress(gzipPath, plain, error) ? wintree::ReadAll(plain)
                                                               : "(not gzip: " + error + ")";
    DeleteFileW(Widen(plain).c_str());
    DeleteFileW(Widen(gzipPath).c_str());
    return text;
}

struct InsertCase {
    const char* name;
    bool saveDialog;
    UINT command;
};

class InsertEndToEnd : public ::testing::TestWithParam<InsertCase> {
  protected:
    InsertEndToEnd() {
        dir_.File(std::string("Docs\\") + kLetterName,
                  "Liebe Gr\xC3\xBC\xC3\x9F"
                  "e\r\n");
        dir_.File("Docs\\plan.txt", "plan\r\n");
        letter_ = dir_.Path(std::string("Docs\\") + kLetterName);
        plan_ = dir_.Path("Docs\\plan.txt");
        SetModifiedYear(letter_, 2021);
        SetModifiedYear(plan_, 2020);
        dir_.File("LarkspireData\\" + UserName() + "\\Recent files.idx",
                  plan_ + "\r\n" + letter_ + "\r\n");
    }
    std::string Settings() const {
        return "[General]\r\nDataLocation=" + dir_.Path("LarkspireData") +
               "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n\r\n[Domain.<Default>]\r\n"
               "Include=" +
               dir_.Path("Docs") + "\r\n";
    }

    void InsertFromLarkspire(const InsertCase& c, const std::wstring& desktop);

    TempTree dir_{"insert-e2e"};
    std::string letter_, plan_;
};

// The list's menu, from the keyboard: Shift+F10, then down to the item. Separators are
// passed over; Open, Open containing folder, Edit with notepad, Save As..., Save as
// Template..., Insert into dialog, Insert compressed.
int MenuStepsTo(UINT command) {
    return command == kCmdInsertIntoDialog ? 6 : 7;
}

void InsertEndToEnd::InsertFromLarkspire(const InsertCase& c, const std::wstring& desktop) {
    test::RunningProgram program(Widen(dir_.Path("App")), Settings(), desktop);
    ASSERT_TRUE(program.Started());
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = program.MainWindow()) != nullptr; }, kLimitMs));

    DialogHost host(c.saveDialog, desktop);
    ASSERT_TRUE(host.Ready()) << "no dialog in front with the focus in its file-name box";

    // Called up from inside the dialog: a second start with /RUN.
    ASSERT_TRUE(program.StartAgain(L"/RUN"));
    ASSERT_TRUE(
        WaitFor([&] { return IsWindowVisible(main) && GetForegroundWindow() == main; }, kLimitMs));

    // Both rows chosen with the keyboard; the open box lists them.
    HWND openBox = ChildWithId(main, kIdOpenEdit);
    ASSERT_NE(openBox, nullptr);
    PressKey(VK_HOME, 0, 1);
    PressKey(VK_END, VK_SHIFT, 1);
    std::string chosen;
    ASSERT_TRUE(WaitFor(
        [&] {
            chosen = Narrow(RemoteWindowText(openBox));
            return chosen.find(';') != std::string::npos;
        },
        kLimitMs))
        << chosen;
    EXPECT_EQ(chosen, letter_ + ";" + plan_);

    // Another window comes between the dialog and Larkspire, the way a hidden window or the
    // foreground rules make Alt+Tab land elsewhere on Windows; Wine has no Alt+Tab at all.
    test::HostWindow bystander([](HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; });
    HWND bystanderBox =
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 24, bystander.hwnd,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowPos(bystander.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(bystander.hwnd, SW_SHOWNOACTIVATE);
    SetFocus(bystanderBox);
    ASSERT_EQ(GetForegroundWindow(), main);

    PressKey(VK_F10, VK_SHIFT, 1);
    ASSERT_TRUE(
        WaitFor([&] { return FindProcessWindow(program.Id(), L"#32768") != nullptr; }, kLimitMs))
        << "Shift+F10 opened no menu";
    PressKey(VK_DOWN, 0, MenuStepsTo(c.command));
    PressKey(VK_RETURN, 0, 1);

    // The compressed copies go to the temporary folder under the files' own names.
    const std::string temp = TempFolder();
    const std::string letterCopy = temp + "\\" + kLetterName + ".gz";
    const std::string planCopy = temp + "\\plan.txt.gz";
    const std::string expected =
        c.command == kCmdInsertCompressed ? letterCopy + ";" + planCopy : chosen;
    std::string arrived;
    EXPECT_TRUE(WaitFor(
        [&] {
            arrived = Narrow(RemoteWindowText(host.nameBox));
            return arrived == expected;
        },
        kLimitMs))
        << "the file-name box holds \"" << arrived << "\"";
    EXPECT_EQ(RemoteWindowText(bystanderBox), L"");
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(GetForegroundWindow(), host.dialog);
    EXPECT_EQ(ClipboardText().value_or("(none)"), expected);
    if (c.command == kCmdInsertCompressed) {
        EXPECT_EQ(Decompressed(letterCopy),
                  "Liebe Gr\xC3\xBC\xC3\x9F"
                  "e\r\n");
        EXPECT_EQ(Decompressed(planCopy), "plan\r\n");
    }
}

TEST_P(InsertEndToEnd, ThePathsArriveInTheDialogsFileNameBox) {
    test::TestDesktop desktop;
    ASSERT_TRUE(desktop.Run([&] { InsertFromLarkspire(GetParam(), desktop.Name()); }));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, InsertEndToEnd,
                         ::testing::Values(InsertCase{"SaveAs", true, kCmdInsertIntoDialog},
                                           InsertCase{"Open", false, kCmdInsertIntoDialog},
                                           InsertCase{"OpenCompressed", false,
                                                      kCmdInsertCompressed}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lark
