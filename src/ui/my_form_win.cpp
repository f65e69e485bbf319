#include "ui/my_form_win.h"

#include <utility>

namespace lark {

ScreenSize PrimaryScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TMyForm::TMyForm(Registry& registry, std::string componentName, ScreenSizeProvider screen)
    : registry_(registry), componentName_(std::move(componentName)), screen_(std::move(screen)) {}

WindowState TMyForm::CurrentWindowState() const {
    if (!hwnd_) return WindowState::Normal;
    if (!IsWindowVisible(hwnd_)) return hiddenState_;
    if (IsZoomed(hwnd_)) return WindowState::Maximised;
    if (IsIconic(hwnd_)) return WindowState::Minimised;
    return WindowState::Normal;
}

FormPlacement TMyForm::CurrentPlacement() const {
    FormPlacement p;
    p.state = CurrentWindowState();
    RECT r{};
    bool child = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) != 0;
    if (!child && p.state == WindowState::Normal) {
        GetWindowRect(hwnd_, &r);
    } else {
        WINDOWPLACEMENT wp{};

        wp.length = sizeof(wp);
        GetWindowPlacement(hwnd_, &wp);
        r = wp.rcNormalPosition;
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
    int cmd = SW_SHOW;
    if (hiddenState_ == WindowState::Maximised) cmd = SW_SHOWMAXIMIZED;
    if (hiddenState_ == WindowState::Minimised) cmd = SW_SHOWMINIMIZED;
    ShowWindow(hwnd_, cmd);
}

void TMyForm::HideForm() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    // Remembered so the next ShowForm brings the window back as the user left it.
    hiddenState_ = IsZoomed(hwnd_) ? WindowState::Maximised : WindowState::Normal;
    ShowWindow(hwnd_, SW_HIDE);
}

}  // namespace lark
