// Instant find and the console client beside the main window: the same index, the same
// answers as the main window's "<Last Search>", and a hotkey another program holds.

// GCC 12 at -O2 reports overlaps that cannot happen inside std::string's inlined copies
// (its bug 105651); the MinGW build treats warnings as errors.
#pragma GCC diagnostic ignored "-Wrestrict"
#include "instant/instant_find_win.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window_win_test_support.h"
#include "res/instant_ids.h"
#include "search/resident_index.h"
#include "support/dialog_script.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

// The console client beside the built program, its output and exit code.
struct ClientRun {
    std::string out, err;
    DWORD exitCode = 99;
};

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

// Runs the client while this thread keeps answering messages, as a resident instance's
// thread does.
ClientRun RunClient(const std::vector<std::wstring>& args) {
    std::wstring exe = test::ProgramPath();
    exe = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"larkspire-find.exe";
    std::wstring commandLine = wintree::QuoteArgument(exe);
    for (const auto& a : args) commandLine += L" " + wintree::QuoteArgument(a);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    ClientRun run;
    const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        std::thread outReader([&] { run.out = ReadAll(outRead); });
        std::thread errReader([&] { run.err = ReadAll(errRead); });
        wintree::PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; },
                           60000);
        WaitForSingleObject(pi.hProcess, 5000);
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
        outReader.join();
        errReader.join();
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

size_t FileCount(const std::vector<std::string>& lines) {
    return size_t(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) { return line.back() != '\\'; }));
}

struct InstantBesideMain : MainWindowViews {
    // A tree of documents with names that share words, in folders of their own.
    void GenerateTree() {
        const char* const folders[] = {"Letters", "Work\\Budget", "Work\\Reports 2024", "Old"};
        const char* const names[] = {"report.txt",         "annual report.doc", "budget.xls",
                                     "Report summary.txt", "memo.txt",          "photo.jpg"};
        int n = 0;
        for (const char* folder : folders)
            for (const char* name : names)
                if (++n % 3 != 0) Doc(std::string(folder) + "\\" + name);
    }
    std::string IndexFile() { return dir.Path("Larkspire Data\\All Users\\All files.idx"); }
    // What "<Last Search>" holds, as the client prints it.
    std::vector<std::string> LastSearchLines() {
        std::vector<std::string> lines;
        const SearchResults& found = form->Views().Views().LastSearchResults;
        for (size_t i = 0; i < found.size(); ++i)
            lines.push_back(found.Path(i) + (found.IsFolderAt(i) ? "\\" : ""));
        return lines;
    }
};

TEST_F(InstantBesideMain, TheClientPrintsWhatTheLastSearchHolds) {
    GenerateTree();
    Start();
    ClickTray();
    PressKey(VK_F5);  // Refresh: the index of the tree, built and waited for
    ASSERT_TRUE(fs.Exists(IndexFile()));
    const struct {
        const char* keywords;
        bool fullPath;
    } cases[] = {{"report", false},
                 {"rep* -annual", false},
                 {"work\\ report", true},
                 {"budget", true},
                 {"nothing-like-it", false}};
    for (const auto& c : cases) {
        // The search dialog's search, as OK runs it.
        form->Criteria().Keywords = c.keywords;
        form->Criteria().SearchFilename = true;
        form->Criteria().SearchPath = c.fullPath;
        form->Views().SearchIndex(form->Views().Views().LastSearchResults);
        form->Views().Views().ShowView("<Last Search>", {});
        const std::vector<std::string> expected = LastSearchLines();
        // The list shows the files; a folder found by itself is among the results but
        // not a row.
        EXPECT_EQ(Rows().size(), FileCount(expected)) << c.keywords;

        std::vector<std::wstring> args;
        if (c.fullPath) args.push_back(L"--path");
        args.insert(args.end(), {L"--index", Widen(IndexFile()), L"--"});
        args.push_back(Widen(c.keywords));
        // Asked of this instance, and read from the file by the client alone.
        for (bool alone : {false, true}) {
            if (alone) args.insert(args.begin(), L"--no-instance");
            const ClientRun run = RunClient(args);
            EXPECT_EQ(Lines(run.out), expected) << c.keywords << (alone ? " alone" : "");
            EXPECT_EQ(run.exitCode, expected.empty() ? 1u : 0u) << c.keywords << run.err;
        }
    }
    // A missing index is an error, said on standard error.
    const ClientRun missing = RunClient({L"--index", Widen(dir.Path("none.idx")), L"report"});
    EXPECT_EQ(missing.exitCode, 2u);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("none.idx"), std::string::npos) << missing.err;
}

TEST_F(InstantBesideMain, InstantFindHandsItsResultsToTheMainWindow) {
    GenerateTree();
    Start();
    ClickTray();
    PressKey(VK_F5);
    TfmInstantFind& instant = *form->InstantFind();
    const int reads = form->Resident().Reads();
    Command(kCmdInstantFind);
    EXPECT_TRUE(IsWindowVisible(instant.Handle()));
    test::TypeInto(GetDlgItem(instant.Handle(), IDC_INSTANT_ED_FIND), "report");
    wintree::PumpUntil([&] { return instant.Finished(); }, 20000);
    ASSERT_TRUE(instant.Finished());
    ASSERT_GT(instant.RowCount(), 0u);
    test::ClickButton(instant.Handle(), IDC_INSTANT_BU_LAST_SEARCH);
    EXPECT_FALSE(IsWindowVisible(instant.Handle()));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(Caption(), "Larkspire - <Search=\"report\">");
    const std::vector<std::string> handedOver = LastSearchLines();
    EXPECT_EQ(handedOver.size(), instant.RowCount());
    EXPECT_EQ(Rows().size(), FileCount(handedOver));
    // The same words through the search dialog's search give the same list.
    form->Views().SearchIndex(form->Views().Views().LastSearchResults);
    EXPECT_EQ(LastSearchLines(), handedOver);
    // Both searched the text held in memory: the file was not read again.
    EXPECT_EQ(form->Resident().Reads(), reads);
}

TEST_F(InstantBesideMain, AHotkeyAnotherProgramHoldsIsReportedAtStart) {
    HWND other =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F8));
    registry.Write(RegistryRoot::CurrentUser, kOptionsKey, kInstantFindHotkeyOption,
                   "Ctrl+Alt+Shift+F8");
    Start();
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], HotkeyTakenMessage(*ParseHotkey("Ctrl+Alt+Shift+F8")));
    EXPECT_FALSE(form->InstantFind()->HotkeyRegistered());
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
}

}  // namespace
}  // namespace lark
