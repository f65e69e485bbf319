#include "actions/new_template_dialog_win.h"

#include "platform/win32/encoding_win.h"
#include "res/templates_ids.h"

namespace lark {

namespace {

// The narrowest the dialog may become, in pixels at 96 dpi.
constexpr int kMinimumWidth = 361;

}  // namespace

TfmNew::TfmNew(Registry& registry, std::vector<std::string> entries)
    : TMyForm(registry, "fmNew"), entries_(std::move(entries)) {}

std::optional<TemplateChoice> TfmNew::ShowModal(HWND owner, HINSTANCE resources) {
    choice_.reset();
    DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_NEW), owner, SharedDialogProc,
                    DialogParam(this));
    return choice_;
}

LRESULT TfmNew::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            hwnd_ = hwnd;
            FormCreate();
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_NEW_LB_TEMPLATES:
                    if (HIWORD(wParam) == LBN_SELCHANGE) lbTemplatesClick();
                    // A double click on an entry confirms it, as OK does.
                    if (HIWORD(wParam) == LBN_DBLCLK) buOKClick();
                    return TRUE;
                case IDOK:
                    buOKClick();
                    return TRUE;
                case IDCANCEL:
                    EndDialog(hwnd, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_SIZE:
            FormResize();
            return FALSE;
        case WM_GETMINMAXINFO:
            MinimumSize(*reinterpret_cast<MINMAXINFO*>(lParam));
            return TRUE;
        case WM_DESTROY:
            StorePlacement();
            return FALSE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void TfmNew::FormCreate() {
    HWND list = GetDlgItem(hwnd_, IDC_NEW_LB_TEMPLATES);
    for (const std::string& entry : entries_)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
    // OK and "Edit template" wait for a choice.
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    EnableWindow(GetDlgItem(hwnd_, IDC_NEW_CB_EDIT), FALSE);

    RECT client{};
    GetClientRect(hwnd_, &client);
    startClient_ = {client.right, client.bottom};
    anchored_ = {{IDC_NEW_LB_TEMPLATES, true, true, false, false, {}},
                 {IDC_NEW_CB_EDIT, false, false, false, true, {}},
                 {IDOK, false, false, true, true, {}},
                 {IDCANCEL, false, false, true, true, {}}};
    for (Anchored& a : anchored_) {
        GetWindowRect(GetDlgItem(hwnd_, a.id), &a.start);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&a.start), 2);
    }
    RestorePlacement(hwnd_);
    FormResize();
}

void TfmNew::lbTemplatesClick() {
    bool chosen = SendDlgItemMessageW(hwnd_, IDC_NEW_LB_TEMPLATES, LB_GETCURSEL, 0, 0) != LB_ERR;
    EnableWindow(GetDlgItem(hwnd_, IDOK), chosen);
    EnableWindow(GetDlgItem(hwnd_, IDC_NEW_CB_EDIT), chosen);
}

void TfmNew::buOKClick() {
    LRESULT index = SendDlgItemMessageW(hwnd_, IDC_NEW_LB_TEMPLATES, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || size_t(index) >= entries_.size()) return;
    // The list is not sorted: its positions are those of the entries.
    choice_ = TemplateChoice{entries_[size_t(index)],
                             IsDlgButtonChecked(hwnd_, IDC_NEW_CB_EDIT) == BST_CHECKED};
    EndDialog(hwnd_, IDOK);
}

void TfmNew::FormResize() {
    if (!hwnd_ || anchored_.empty()) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int dx = client.right - startClient_.cx;
    const int dy = client.bottom - startClient_.cy;
    for (const Anchored& a : anchored_) {
        RECT r = a.start;
        if (a.followsRight) OffsetRect(&r, dx, 0);
        if (a.followsBottom) OffsetRect(&r, 0, dy);
        if (a.growsWidth) r.right += dx;
        if (a.growsHeight) r.bottom += dy;
        SetWindowPos(GetDlgItem(hwnd_, a.id), nullptr, r.left, r.top, r.right - r.left,
                     r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TfmNew::MinimumSize(MINMAXINFO& info) const {
    const int dpi = hwnd_ ? int(GetDpiForWindow(hwnd_)) : 96;
    info.ptMinTrackSize.x = MulDiv(kMinimumWidth, dpi, 96);
    // Room for the check box and the buttons under a few entries.
    info.ptMinTrackSize.y = MulDiv(200, dpi, 96);
}

}  // namespace lark
