#include "support/running_program.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>

#include "platform/win32/encoding_win.h"

namespace lark::test {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        // The test's own windows stay served while it waits.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition()) return true;
        if (GetTickCount() - start >= DWORD(timeoutMs)) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

std::wstring RemoteWindowText(HWND hwnd) {
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, LPARAM(text), SMTO_ABORTIFHUNG, 2000, nullptr);
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

// Read through a buffer in that process: list-view items cannot be asked for across
// processes otherwise.
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

bool WaitForClosedFile(const std::filesystem::path& path, int timeoutMs) {
    return WaitFor(
        [&] {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) return false;
            CloseHandle(file);
            return true;
        },
        timeoutMs);
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

TestDesktop::TestDesktop()
    : name_(L"LarkspireTest" + std::to_wstring(GetCurrentProcessId())),
      desktop_(CreateDesktopW(name_.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr)) {}

TestDesktop::~TestDesktop() {
    if (desktop_) CloseDesktop(desktop_);
}

bool TestDesktop::Run(const std::function<void()>& body) {
    if (!desktop_) return false;
    struct Work {
        HDESK desktop;
        const std::function<void()>& body;
        bool joined = false;
    } work{desktop_, body};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto& w = *static_cast<Work*>(p);
            // A thread joins a desktop before it owns any window.
            w.joined = SetThreadDesktop(w.desktop) != FALSE;
            if (w.joined) w.body();
            return 0;
        },
        &work, 0, nullptr);
    if (!thread) return false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return work.joined;
}

bool StartProgram(const std::wstring& exe, const std::wstring& arguments,
                  const std::wstring& folder, const std::wstring& desktop,
                  PROCESS_INFORMATION& pi) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::wstring desktopName = desktop;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!desktopName.empty()) si.lpDesktop = desktopName.data();
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi) != FALSE;
}

RunningProgram::RunningProgram(const std::filesystem::path& folder, const std::string& settingsText,
                               const std::wstring& desktop)
    : desktop_(desktop) {
    std::filesystem::create_directories(folder);
    exe_ = folder / "Larkspire.exe";
    std::filesystem::copy_file(std::filesystem::path(Widen(ToWindowsPath(LARKSPIRE_EXE_UNIX_PATH))),
                               exe_, std::filesystem::copy_options::overwrite_existing);
    std::ofstream(folder / "LARKSPIRE.ini", std::ios::binary) << settingsText;
    started_ = StartProgram(exe_.wstring(), L"", folder.wstring(), desktop_, pi_);
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

std::string RunningProgram::ToWindowsPath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
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

bool RunningProgram::StartAgain(const std::wstring& arguments, int timeoutMs) const {
    PROCESS_INFORMATION pi{};
    if (!StartProgram(exe_.wstring(), arguments, exe_.parent_path().wstring(), desktop_, pi))
        return false;
    const bool ended = WaitForSingleObject(pi.hProcess, DWORD(timeoutMs)) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended;
}

}  // namespace lark::test
