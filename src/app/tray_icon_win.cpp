#include "app/tray_icon_win.h"

#include "platform/win32/encoding_win.h"
#include "ui/message_pump_win.h"

namespace lark {
namespace {

constexpr wchar_t kClassName[] = L"LarkspireTrayWindow";
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMillis = 2000;

}  // namespace

TTrayIcon::TTrayIcon(HINSTANCE instance) {
    RegisterTargetClass(kClassName);
    // Top-level (not message-only) so that the shell's "TaskbarCreated" broadcast reaches it.
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, instance, WindowParam(this));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    ApplyShowApp();
}

TTrayIcon::~TTrayIcon() {
    if (active_) Remove();
    if (hwnd_) {
        DetachTarget(hwnd_);
        DestroyWindow(hwnd_);
    }
}

NOTIFYICONDATAW TTrayIcon::Record() const {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = hwnd_;
    nid.uID = 0;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayCallbackMessage;
    nid.hIcon = icon_.Get();
    tip_.copy(nid.szTip, kTrayTipChars);
    return nid;
}

void TTrayIcon::Add() {
    NOTIFYICONDATAW nid = Record();
    shown_ = Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
    // The shell may still hold the icon from before (an add after a failed modify).
    if (!shown_) shown_ = Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
    if (shown_ && retrying_) {
        KillTimer(hwnd_, kRetryTimer);
        retrying_ = false;
    } else if (!shown_ && !retrying_) {
        // Explorer may be restarting or not up yet; a resident program must not lose its
        // only entry point, so the add is tried again in the background, without a word.
        retrying_ = SetTimer(hwnd_, kRetryTimer, kRetryMillis, nullptr) != 0;
    }
}

void TTrayIcon::Modify() {
    if (!shown_) {
        Add();
        return;
    }
    NOTIFYICONDATAW nid = Record();
    if (!Shell_NotifyIconW(NIM_MODIFY, &nid)) {
        shown_ = false;
        Add();
    }
}

void TTrayIcon::Remove() {
    if (retrying_) {
        KillTimer(hwnd_, kRetryTimer);
        retrying_ = false;
    }
    if (shown_) {
        NOTIFYICONDATAW nid = Record();
        Shell_NotifyIconW(NIM_DELETE, &nid);
    }
    shown_ = false;
}

void TTrayIcon::AddAgain() {
    if (!active_) return;
    shown_ = false;
    Add();
}

void TTrayIcon::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active_) {
        Add();
        if (tip_.empty()) PostMessageW(hwnd_, kTraySetTipMessage, 0, 0);
    } else {
        Remove();
    }
}

void TTrayIcon::SetIcon(HICON icon) {
    icon_.Reset(icon ? CopyIcon(icon) : nullptr);
    if (active_) Modify();
}

void TTrayIcon::SetToolTip(std::string_view text) {
    std::wstring wide = Widen(text);
    if (wide.size() > kTrayTipChars) {
        size_t cut = kTrayTipChars;
        // Never leave half of a surrogate pair at the end.
        if (IS_HIGH_SURROGATE(wide[cut - 1])) --cut;
        wide.resize(cut);
    }
    tip_ = std::move(wide);
    if (active_) Modify();
}

void TTrayIcon::SetAppWindow(HWND appWindow) {
    appWindow_ = appWindow;
    ApplyShowApp();
}

void TTrayIcon::SetShowApp(bool show) {
    showApp_ = show;
    ApplyShowApp();
}

void TTrayIcon::ApplyShowApp() {
    if (!appWindow_ || !hwnd_) return;
    // An owned top-level window has no taskbar button of its own.
    SetWindowLongPtrW(appWindow_, GWLP_HWNDPARENT,
                      showApp_ ? 0 : reinterpret_cast<LONG_PTR>(hwnd_));
}

void TTrayIcon::HandleCallback(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP:
            if (OnClick) OnClick();
            break;
        case WM_LBUTTONDBLCLK:
            if (OnDblClick) OnDblClick();
            break;
        case WM_RBUTTONUP: {
            POINT pt{};
            GetCursorPos(&pt);
            if (PopupMenu) {
                HWND owner = appWindow_ ? appWindow_ : hwnd_;
                // Without the foreground the menu would not close when the user clicks away.
                SetForegroundWindow(owner);
                PumpWaitingMessages();
                TrackPopupMenu(PopupMenu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
                PostMessageW(owner, WM_NULL, 0, 0);
            }
            if (OnRightClick) OnRightClick(pt);
            break;
        }
        default:
            break;
    }
}

LRESULT TTrayIcon::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The taskbar's re-creation message has a number only known at run time.
    if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
        AddAgain();
        return 0;
    }
    switch (msg) {
        case kTrayCallbackMessage:
            HandleCallback(lParam);
            return 0;
        case kTraySetTipMessage:
            if (active_) Modify();
            return 0;
        case WM_TIMER:
            if (wParam != kRetryTimer) break;
            if (active_ && !shown_) Add();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace lark
