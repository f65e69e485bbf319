#include "actions/previous_window_win.h"

#include <dwmapi.h>

#include <string_view>

#include "actions/key_sender_win.h"
#include "ui/message_pump_win.h"

namespace lark {
namespace {

// How long Windows may take to hand the foreground over to the other program's thread.
constexpr uint32_t kSwitchLimitMs = 2000;

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    if (window) GetWindowThreadProcessId(window, &processId);
    return processId;
}

// The taskbar and the desktop: in front after a tray click, never where the user works.
bool IsShellWindow(HWND window) {
    static constexpr std::wstring_view kShellClasses[] = {
        L"Shell_TrayWnd",
        L"Shell_SecondaryTrayWnd",
        L"NotifyIconOverflowWindow",
        L"TopLevelWindowForOverflowXamlIsland",
        L"Progman",
        L"WorkerW",
        L"Windows.UI.Core.CoreWindow",
    };
    wchar_t name[64] = L"";
    const int length = GetClassNameW(window, name, 64);
    const std::wstring_view cls(name, size_t(length > 0 ? length : 0));
    for (std::wstring_view shell : kShellClasses) {
        if (cls == shell) return true;
    }
    return false;
}

// Visible to the user and able to take the focus: what Alt+Tab lists.
bool IsTaskWindow(HWND window, DWORD ownProcess) {
    if (!IsWindowVisible(window) || IsIconic(window)) return false;
    if (ProcessOf(window) == ownProcess || IsShellWindow(window)) return false;
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if ((exStyle & WS_EX_TOOLWINDOW) && !(exStyle & WS_EX_APPWINDOW)) return false;
    if (exStyle & WS_EX_NOACTIVATE) return false;
    RECT rect{};
    if (!GetWindowRect(window, &rect) || IsRectEmpty(&rect)) return false;
    // Suspended store apps stay "visible" but are cloaked away.
    DWORD cloaked = 0;
    if (SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
        cloaked)
        return false;
    return true;
}

// A window disabled by a modal dialog of its own is reached through that dialog.
HWND ActivePopupOf(HWND window) {
    if (IsWindowEnabled(window)) return window;
    HWND popup = GetLastActivePopup(GetAncestor(window, GA_ROOTOWNER));
    if (popup && IsWindowVisible(popup) && IsWindowEnabled(popup)) return popup;
    return window;
}

}  // namespace

HWND TaskWindowInFront(DWORD ownProcess) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsTaskWindow(w, ownProcess)) return ActivePopupOf(w);
    }
    return nullptr;
}

void PreviousWindow::Remember(HWND ownWindow) {
    const DWORD ownProcess = ownWindow ? ProcessOf(ownWindow) : GetCurrentProcessId();
    HWND front = GetForegroundWindow();
    if (front && ProcessOf(front) == ownProcess) return;
    if (!front || IsShellWindow(front)) front = TaskWindowInFront(ownProcess);
    if (front) window_ = front;
}

InsertTarget::Return PreviousWindow::BringBack() const {
    if (!window_ || !IsWindow(window_)) return InsertTarget::Return::Gone;
    HWND target = ActivePopupOf(window_);
    HWND root = GetAncestor(target, GA_ROOTOWNER);
    if (root && IsIconic(root)) ShowWindow(root, SW_RESTORE);
    if (GetForegroundWindow() != target && !SetForegroundWindow(target)) {
        // Windows lets a program take the foreground only while it has the user's input;
        // sharing the input state of the window now in front lends it that right.
        HWND front = GetForegroundWindow();
        const DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
        const DWORD ownThread = GetCurrentThreadId();
        const bool attached = frontThread && frontThread != ownThread &&
                              AttachThreadInput(ownThread, frontThread, TRUE);
        BringWindowToTop(target);
        SetForegroundWindow(target);
        if (attached) AttachThreadInput(ownThread, frontThread, FALSE);
    }
    PumpUntil([target] { return GetForegroundWindow() == target; }, kSwitchLimitMs);
    if (GetForegroundWindow() != target) return InsertTarget::Return::Refused;
    WaitForInputIdleOf(ProcessOf(target), -1);
    return InsertTarget::Return::Back;
}

}  // namespace lark
