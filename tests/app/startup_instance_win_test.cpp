#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/command_ids_win.h"
#include "base/text.h"
#include "platform/win32/encoding_win.h"
#include "support/win_tree_helpers.h"

namespace lark {

namespace {

using wintree::TempTree;

constexpr UINT kInstanceCommand = WM_USER + 1;

// A copy of the program with its own settings file, so the data and the index stay in
// the test's temporary folder.
struct Installation {
    TempTree dir{"inst"};
    std::string exe = dir.Path("Larkspire.exe");

    Installation() {
        std::string built = "Z:" + std::string(LARKSPIRE_EXE_UNIX_PATH);
        for (char& c : built)
            if (c == '/') c = '\\';
        EXPECT_TRUE(CopyFileW(Widen(built).c_str(), Widen(exe).c_str(), FALSE));
        dir.File("docs\\letter.txt");
        dir.File("LARKSPIRE.ini", "[General]\r\nDataLocation=" + dir.Path("data") +
                                      "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n"
                                      "\r\n[Domain.<Default>]\r\nInclude=" +
                                      dir.Path("docs") + "\r\n");
    }
};

// A started process, ended at the end of the test if it is still running.
class Process {
  public:
    Process(const Installation& inst, const std::vector<std::string>& args) {
        std::wstring cmd = wintree::QuoteArgument(Widen(inst.exe));
        for (const std::string& a : args) cmd += L" " + wintree::QuoteArgument(Widen(a));
        STARTUPINFOW si{};
        si.cb = sizeof si;
        EXPECT_TRUE(CreateProcessW(Widen(inst.exe).c_str(), cmd.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, Widen(inst.dir.Root()).c_str(), &si, &pi_));
    }
    ~Process() {
        if (pi_.hProcess) {
            if (Running()) TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    bool Ends(DWORD limitMs) const {
        return WaitForSingleObject(pi_.hProcess, limitMs) == WAIT_OBJECT_0;
    }
    DWORD Id() const { return pi_.dwProcessId; }
    // The process's main window, once it exists.
    HWND MainWindow(DWORD limitMs = 15000) const {
        HWND found = nullptr;
        wintree::PumpUntil(
            [&] {
                for (HWND w = FindWindowExW(nullptr, nullptr, L"TfmOpen", nullptr); w;
                     w = FindWindowExW(nullptr, w, L"TfmOpen", nullptr)) {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    if (pid == pi_.dwProcessId) found = w;
                }
                return found != nullptr || !Running();
            },
            limitMs);
        return found;
    }

  private:
    PROCESS_INFORMATION pi_{};
};

std::string CaptionOf(HWND w) {
    wchar_t text[1024] = L"";
    GetWindowTextW(w, text, 1024);
    return Narrow(text);
}

std::string RegistryText(const wchar_t* key, const wchar_t* name) {
    wchar_t data[1024] = L"";
    DWORD size = sizeof data;
    const std::wstring classes = L"Software\\Classes\\" + std::wstring(key);
    if (RegGetValueW(HKEY_CURRENT_USER, classes.c_str(), name, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return Narrow(data);
}

// The message box a process shows, captioned "Larkspire"; null when none appears in time.
HWND MessageBoxOf(const Process& process, DWORD limitMs) {
    HWND found = nullptr;
    wintree::PumpUntil(
        [&] {
            for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", L"Larkspire"); w;
                 w = FindWindowExW(nullptr, w, L"#32770", L"Larkspire")) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                // A box exists before its text does; a user reads it once it shows.
                if (pid == process.Id() && IsWindowVisible(w)) found = w;
            }
            return found != nullptr || !process.Running();
        },
        limitMs);
    return found;
}

// The texts of a box's static controls, one after the other.
std::string BoxText(HWND box) {
    std::string text;
    for (HWND c = FindWindowExW(box, nullptr, L"Static", nullptr); c;
         c = FindWindowExW(box, c, L"Static", nullptr))
        text += CaptionOf(c);
    return text;
}

}  // namespace

TEST(Startup, SecondStartsHandTheirCommandLineToTheRunningInstance) {
    Installation inst;
    Process first(inst, {});
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    // Start-up ends by showing the recent documents.
    const std::string recent = "Larkspire - <My Recent Documents>";
    EXPECT_TRUE(wintree::PumpUntil([&] { return CaptionOf(main) == recent; }, 15000))
        << CaptionOf(main);
    EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The running instance registered its file type for the user and indexed its domain. The window
    // exists (and is found) while its creation still runs, so the registration is awaited.
    const std::string command = "\"" + inst.exe + "\" \"%1\"";
    wintree::PumpUntil(
        [&] { return RegistryText(L"Larkspire.Search\\shell\\open\\command", nullptr) == command; },
        15000);
    EXPECT_EQ(RegistryText(L".lks", nullptr), "Larkspire.Search");
    EXPECT_EQ(RegistryText(L"Larkspire.Search\\shell\\open\\command", nullptr),
              "\"" + inst.exe + "\" \"%1\"");
    EXPECT_TRUE(wintree::PumpUntil(
        [&] {
            std::string index = wintree::FindFileBelow(inst.dir.Path("data"), "All files.idx");
            return wintree::ReadAll(index).find("\r\nletter.txt\r\n") != std::string::npos;
        },
        15000));

    {  // no arguments: ends, changes nothing
        Process second(inst, {});
        EXPECT_TRUE(second.Ends(15000));
        Sleep(500);
        EXPECT_TRUE(first.Running());
        EXPECT_FALSE(IsWindowVisible(main));
        EXPECT_EQ(CaptionOf(main), recent);
    }
    {  // a text longer than an atom holds arrives whole
        std::string name = std::string(283, 'v') + " Recent Documents";
        ASSERT_EQ(name.size(), 300u);
        Process second(inst, {name});
        EXPECT_TRUE(second.Ends(15000));
        EXPECT_TRUE(
            wintree::PumpUntil([&] { return CaptionOf(main) == "Larkspire - " + name; }, 10000))
            << CaptionOf(main);
        EXPECT_TRUE(IsWindowVisible(main));
    }
    ShowWindow(main, SW_HIDE);
    {  // lower-case switches work the same
        Process second(inst, {"/run"});
        EXPECT_TRUE(second.Ends(15000));
        EXPECT_TRUE(wintree::PumpUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
    }
    {  // a short view name travels in an atom; a missing path is ignored
        ShowWindow(main, SW_HIDE);
        std::string before = CaptionOf(main);
        Process missing(inst, {"C:\\no such folder\\x.lks"});
        EXPECT_TRUE(missing.Ends(15000));
        wintree::PumpUntil([] { return false; }, 1000);
        EXPECT_FALSE(IsWindowVisible(main));
        EXPECT_EQ(CaptionOf(main), before);
        // The last search is captioned by its keywords (none yet).
        Process second(inst, {"<Last", "Search>"});
        EXPECT_TRUE(second.Ends(15000));
        EXPECT_TRUE(wintree::PumpUntil(
            [&] { return CaptionOf(main) == "Larkspire - <Search=\"\">"; }, 10000))
            << CaptionOf(main);
    }
    ShowWindow(main, SW_HIDE);
    {  // an existing but empty saved search shows the window and opens nothing
        inst.dir.File("empty.lks", "");
        Process second(inst, {inst.dir.Path("empty.lks")});
        EXPECT_TRUE(second.Ends(15000));
        EXPECT_TRUE(wintree::PumpUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
        EXPECT_EQ(CaptionOf(main), "Larkspire - <Search=\"\">");
    }
    {  // "/SHUTDOWN" ends the running instance
        Process second(inst, {"/SHUTDOWN"});
        EXPECT_TRUE(second.Ends(15000));
        EXPECT_TRUE(first.Ends(15000));
    }
}

TEST(Startup, RestartMakesAFurtherResidentInstance) {
    Installation inst;
    Process first(inst, {});
    HWND one = first.MainWindow();
    ASSERT_NE(one, nullptr);
    // The text given to a start that becomes resident is opened once start-up is done.
    Process second(inst, {"/RESTART", "<Last Search>"});
    HWND two = second.MainWindow();
    ASSERT_NE(two, nullptr);
    EXPECT_TRUE(
        wintree::PumpUntil([&] { return CaptionOf(two) == "Larkspire - <Search=\"\">"; }, 10000));
    EXPECT_EQ(CaptionOf(one), "Larkspire - <My Recent Documents>");
    Sleep(1000);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(second.Running());
    PostMessageW(two, kInstanceCommand, 2, -1);
    PostMessageW(one, kInstanceCommand, 2, -1);
    EXPECT_TRUE(second.Ends(15000));
    EXPECT_TRUE(first.Ends(15000));
}

TEST(Startup, ShutdownWithNothingRunningEndsWithoutStaying) {
    Installation inst;
    Process only(inst, {"/SHUTDOWN"});
    EXPECT_TRUE(only.Ends(15000));
    EXPECT_EQ(FindWindowW(L"TfmOpen", nullptr), nullptr);
}

TEST(Startup, RecentListThatCannotBeCreatedEndsTheProgram) {
    Installation inst;
    // The data location is a file, so no user folder can be made below it.
    inst.dir.File("blocked", "not a folder");
    inst.dir.File("LARKSPIRE.ini",
                  "[General]\r\nDataLocation=" + inst.dir.Path("blocked") + "\r\n");
    Process only(inst, {});
    HWND box = MessageBoxOf(only, 15000);
    ASSERT_NE(box, nullptr);
    const std::string prefix =
        "Unable to create the Recent Files file: " + inst.dir.Path("blocked");
    std::string text = BoxText(box);
    EXPECT_EQ(text.substr(0, prefix.size()), prefix) << text;
    EXPECT_NE(text.find("Recent files.idx"), std::string::npos) << text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(only.Ends(15000));
}

TEST(Startup, AboutHidesTheMainWindowBeforeTheBoxOpens) {
    Installation inst;
    Process first(inst, {});
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, kInstanceCommand, 0, 0);
    ASSERT_TRUE(wintree::PumpUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(kCmdAbout, 0), 0);  // Help > "About..."
    HWND about = nullptr;
    EXPECT_TRUE(wintree::PumpUntil(
        [&] { return (about = FindWindowW(L"#32770", L"About Larkspire")) != nullptr; }, 10000));
    EXPECT_FALSE(IsWindowVisible(main));
    if (about) PostMessageW(about, WM_COMMAND, IDOK, 0);
    PostMessageW(main, kInstanceCommand, 2, -1);
    EXPECT_TRUE(first.Ends(15000));
}

TEST(Startup, CloseRequestsHideOnlyExitEnds) {
    Installation inst;
    Process first(inst, {});
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, kInstanceCommand, 0, 0);
    ASSERT_TRUE(wintree::PumpUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wintree::PumpUntil([&] { return !IsWindowVisible(main); }, 10000));
    EXPECT_FALSE(first.Ends(1000));

    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    EXPECT_EQ(answer, 1u);
    EXPECT_TRUE(first.Ends(15000));
}

}  // namespace lark
