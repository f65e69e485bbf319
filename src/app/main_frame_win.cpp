#include "app/main_frame_win.h"

#include "app/command_ids_win.h"
#include "platform/win32/handles_win.h"

namespace lark {

MainFrame::MainFrame(HWND form, HINSTANCE resources)
    : form_(form), tray_(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE))) {
    layout_.Create(form, resources);
    tray_.SetAppWindow(form);
    tray_.SetShowApp(false);
    tray_.SetToolTip("Larkspire");
    tray_.PopupMenu = layout_.trayPopup;
    tray_.OnClick = [this] { TrayIconClick(); };
    ShowForm = [this] {
        ShowWindow(form_, SW_SHOW);
        SetForegroundWindow(form_);
    };
    HideForm = [this] { ShowWindow(form_, SW_HIDE); };
}

MainFrame::~MainFrame() {
    tray_.SetActive(false);
}

bool MainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_SIZE:
            layout_.Layout();
            result = 0;
            return false;  // the window may have more to do on a resize
        case WM_NOTIFY:
            return layout_.HandleNotify(reinterpret_cast<const NMHDR*>(lParam), result);
        case WM_INITMENUPOPUP:
            // mnuFileClick: opening the File menu also pops up the tray menu. It cannot open
            // inside the File menu's own loop, so it waits for that loop to end.
            if (!HIWORD(lParam) && layout_.IsFileMenu(reinterpret_cast<HMENU>(wParam))) {
                EndMenu();
                PostMessageW(form_, kWmPopTrayMenu, 0, 0);
            }
            return false;
        case WM_ACTIVATE:
            // A plain window gives the focus to itself on activation; the user expects it
            // back where it was, and on the file list the first time.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(form_, focus)) lastFocus_ = focus;
                return false;
            }
            if (!HIWORD(wParam)) {
                SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : layout_.listView);
                result = 0;
                return true;
            }
            return false;
        case WM_SETFOCUS:
            SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : layout_.listView);
            result = 0;
            return true;
        case WM_DESTROY:
            tray_.SetActive(false);
            layout_.FormDestroyed();
            return false;
        case kWmPopTrayMenu:
            layout_.PopTrayMenuBesideWindow();
            result = 0;
            return true;
        default:
            return false;
    }
}

void MainFrame::SetTrayState(int index) {
    UniqueIcon icon(layout_.MakeTrayIcon(index));
    tray_.SetIcon(icon.Get());
}

void MainFrame::IndexBuildStarting() {
    SetTrayState(1);
    layout_.EnableCommand(kCmdSearch, false);
}

void MainFrame::IndexBuildFinished(std::string_view tip) {
    SetTrayState(0);
    tray_.SetToolTip(tip);
    layout_.EnableCommand(kCmdSearch, layout_.CommandAvailable(kCmdSearch));
}

void MainFrame::TrayIconClick() {
    // A minimised window is still visible, yet out of the user's sight: the click brings it
    // back.
    if (IsWindowVisible(form_) && !IsIconic(form_)) {
        HideForm();
    } else {
        ShowForm();
    }
}

}  // namespace lark
