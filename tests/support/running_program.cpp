#include "support/running_program.h"

#include "platform/win32/encoding_win.h"
#include "support/window_test_helpers.h"

namespace lark::test {
namespace {

constexpr UINT kInstanceCommand = WM_USER + 1;
constexpr WPARAM kInstanceExit = 2;

}  // namespace

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

bool WaitFor(const std::function<bool()>& condition, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        // The test's own windows stay served while it waits.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition()) return true;
        if (GetTickCount() - start >= limitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

std::wstring TextOfWindow(HWND window) {
    wchar_t text[4096] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, LPARAM(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring ClassOfWindow(HWND window) {
    wchar_t name[128] = L"";
    GetClassNameW(window, name, 128);
    return name;
}

HWND FindProcessWindow(DWORD processId, const std::wstring& cls, const std::wstring& caption) {
    struct Search {
        DWORD processId;
        const std::wstring& cls;
        const std::wstring& caption;
        HWND found = nullptr;
    } search{processId, cls, caption};
    EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s.processId || ClassOfWindow(window) != s.cls) return TRUE;
            if (!s.caption.empty() && TextOfWindow(window) != s.caption) return TRUE;
            s.found = window;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

HWND FindChildOfClass(HWND parent, const std::wstring& cls) {
    struct Search {
        const std::wstring& cls;
        HWND found = nullptr;
    } search{cls};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            if (ClassOfWindow(window) != s.cls) return TRUE;
            s.found = window;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

RunningProgram::RunningProgram(const std::string& folder, const std::string& settingsText,
                               const std::wstring& arguments, const std::wstring& desktop)
    : folder_(Widen(folder)), desktop_(desktop) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    exe_ = folder_ + L"\\Larkspire.exe";
    if (!CopyFileW(ProgramPath().c_str(), exe_.c_str(), FALSE)) return;
    HANDLE ini = CreateFileW((folder_ + L"\\LARKSPIRE.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    if (ini == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(ini, settingsText.data(), DWORD(settingsText.size()), &written, nullptr);
    CloseHandle(ini);
    started_ = StartProgram(exe_, arguments, folder_, desktop_, pi_);
}

RunningProgram::~RunningProgram() {
    if (!started_) return;
    if (HWND main = MainWindow()) PostMessageW(main, kInstanceCommand, kInstanceExit, -1);
    if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool RunningProgram::StartAgain(const std::wstring& arguments, DWORD limitMs) const {
    PROCESS_INFORMATION pi{};
    if (!StartProgram(exe_, arguments, folder_, desktop_, pi)) return false;
    const bool ended = WaitForSingleObject(pi.hProcess, limitMs) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended;
}

}  // namespace lark::test
