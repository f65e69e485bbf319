#include "support/running_program.h"

#include <algorithm>
#include <fstream>

#include "platform/win32/encoding_win.h"

namespace lark::test {

namespace {

constexpr UINT kInstanceCommand = WM_USER + 1;  // wParam 0 shows the window, 2 exits

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[128] = L"";
    GetClassNameW(hwnd, name, 128);
    return name;
}

std::wstring WindowsPathOf(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return Widen("Z:" + unixPath);
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

std::wstring RemoteWindowText(HWND hwnd) {
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, LPARAM(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
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
            if (!s->caption->empty() && RemoteWindowText(hwnd) != *s->caption) return TRUE;
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

RunningProgram::RunningProgram(const std::filesystem::path& folder,
                               const std::string& settingsText) {
    std::filesystem::create_directories(folder);
    exe_ = folder / "Larkspire.exe";
    std::filesystem::copy_file(WindowsPathOf(LARKSPIRE_EXE_UNIX_PATH), exe_,
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(folder / "LARKSPIRE.ini", std::ios::binary) << settingsText;
    std::wstring commandLine = L"\"" + exe_.wstring() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    started_ = CreateProcessW(exe_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &si, &pi_);
}

RunningProgram::~RunningProgram() {
    if (!started_) return;
    if (HWND main = MainWindow()) PostMessageW(main, kInstanceCommand, 2, -1);
    if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

HWND RunningProgram::MainWindow() const {
    return FindProcessWindow(pi_.dwProcessId, L"TfmOpen", L"");
}

HWND RunningProgram::ShowMainWindow() const {
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = MainWindow()) != nullptr; }, 20000)) return nullptr;
    PostMessageW(main, kInstanceCommand, 0, 0);
    if (!WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 10000)) return nullptr;
    return main;
}

}  // namespace lark::test
