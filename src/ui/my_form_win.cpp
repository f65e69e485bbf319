#include "ui/my_form_win.h"

#include <utility>

namespace lark {

ScreenSize PrimaryScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TMyForm::TMyForm(Registry& registry, std::string componentName, ScreenSizeProvider screen)
    : registry_(registry), componentName_(std::move(componentName)), screen_(std::move(screen)) {}

namespace {

// The state a minimised window returns to: a window is never kept or brought back minimised.
WindowState RestoredStateOf(HWND hwnd) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd, &wp);
    return (wp.flags & WPF_RESTORETOMAXIMIZED) ? WindowState::Maximised : WindowState::Normal;
}

}  // namespace

WindowState TMyForm::CurrentWindowState() const {
    if (!hwnd_) return WindowState::Normal;
    if (IsIconic(hwnd_)) return RestoredStateOf(hwnd_);
    if (!IsWindowVisible(hwnd_)) return hiddenState_;
    if (IsZoomed(hwnd_)) return WindowState::Maximised;
    return WindowState::Normal;
}

FormPlacement TMyForm::CurrentPlacement() const {
    FormPlacement p;
    p.state = CurrentWindowState();
    RECT r{};
    const bool child = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) != 0;
    if (!child && !IsIconic(hwnd_) && !IsZoomed(hwnd_)) {
        GetWindowRect(hwnd_, &r);
    } else {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        GetWindowPlacement(hwnd_, &wp);
        r = wp.rcNormalPosition;
        // A top-level window's normal rectangle is in work-area coordinates; the stored
        // values are screen pixels.
        const bool toolWindow = (GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
        if (!child && !toolWindow) {
            MONITORINFO mi{};
            mi.cbSize = sizeof(mi);
            if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY), &mi))
                OffsetRect(&r, mi.rcWork.left - mi.rcMonitor.left,
                           mi.rcWork.top - mi.rcMonitor.top);
        }
    }
    p.left = r.left;
    p.top = r.top;
    p.width = r.right - r.left;
    p.height = r.bottom - r.top;
    return p;
}

void TMyForm::RestorePlacement(HWND hwnd) {
    hwnd_ = hwnd;
    Tag = 0;
    stored_ = false;
    const FormPlacement design = CurrentPlacement();
    const FormPlacement p = RestoreFormPlacement(registry_, componentName_, design, screen_());
    const bool visible = IsWindowVisible(hwnd_) != FALSE;
    if (p.state == WindowState::Normal && (p.left != design.left || p.top != design.top ||
                                           p.width != design.width || p.height != design.height)) {
        SetWindowPos(hwnd_, nullptr, p.left, p.top, p.width, p.height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    if (p.state != design.state) {
        if (visible) {
            ShowWindow(hwnd_, p.state == WindowState::Maximised   ? SW_MAXIMIZE
                              : p.state == WindowState::Minimised ? SW_MINIMIZE
                                                                  : SW_RESTORE);
        } else {
            hiddenState_ = p.state;
        }
    }
    const FormPlacement now = CurrentPlacement();
    SavedTop = now.top;
    SavedLeft = now.left;
    SavedWidth = now.width;
    SavedHeight = now.height;
    SavedWindowState = static_cast<uint8_t>(now.state);
}

void TMyForm::StorePlacement() {
    if (!hwnd_ || stored_) return;
    stored_ = true;
    FormPlacement saved{SavedTop, SavedLeft, SavedWidth, SavedHeight,
                        static_cast<WindowState>(SavedWindowState)};
    StoreFormPlacement(registry_, componentName_, saved, CurrentPlacement());
    Tag = 99;
}

void TMyForm::ShowForm() {
    if (!hwnd_) return;
    if (IsWindowVisible(hwnd_)) {
        if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
        return;
    }
    // SW_RESTORE brings a window that was hidden while minimised back to its own state.
    int cmd = IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW;
    if (hiddenState_ == WindowState::Maximised) cmd = SW_SHOWMAXIMIZED;
    ShowWindow(hwnd_, cmd);
}

void TMyForm::HideForm() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    // Remembered so the next ShowForm brings the window back as the user left it.
    hiddenState_ = CurrentWindowState();
    ShowWindow(hwnd_, SW_HIDE);
}

}  // namespace lark
