#include "actions/save_as_template_dialog_win.h"

#include "platform/win32/encoding_win.h"
#include "res/templates_ids.h"

namespace lark {

namespace {

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::wstring text(size_t(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(item, text.data(), int(text.size()))));
    return Narrow(text);
}

}  // namespace

std::optional<NamePromptAnswer> TfmSaveAsTemplate::ShowModal(HWND owner, HINSTANCE resources) {
    answer_.reset();
    DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_SAVE_AS_TEMPLATE), owner, SharedDialogProc,
                    DialogParam(this));
    return answer_;
}

LRESULT TfmSaveAsTemplate::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            hwnd_ = hwnd;
            FormCreate();
            FormShow();
            return FALSE;  // the focus is in the name box
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    BitBtn1Click();
                    return TRUE;
                case IDCANCEL:
                    EndDialog(hwnd, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void TfmSaveAsTemplate::FormCreate() {
    SetWindowTextW(hwnd_, Widen(prompt_.caption).c_str());
    SetDlgItemTextW(hwnd_, IDC_SAT_LABEL1, Widen(prompt_.label).c_str());
    SetDlgItemTextW(hwnd_, IDC_SAT_ED_TEMPLATE_NAME, Widen(prompt_.name).c_str());
    SetDlgItemTextW(hwnd_, IDC_SAT_RB_ALL_USERS, Widen(kAllUsersOption).c_str());
    SetDlgItemTextW(hwnd_, IDC_SAT_RB_USER, Widen(prompt_.userName).c_str());
    CheckRadioButton(hwnd_, IDC_SAT_RB_ALL_USERS, IDC_SAT_RB_USER,
                     prompt_.allUsers ? IDC_SAT_RB_ALL_USERS : IDC_SAT_RB_USER);

    POINT pointer{};
    GetCursorPos(&pointer);
    RECT frame{};
    GetWindowRect(hwnd_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    PromptPosition at =
        PlaceNearPointer(pointer.x, pointer.y, width, height, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(hwnd_, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TfmSaveAsTemplate::FormShow() {
    HWND name = GetDlgItem(hwnd_, IDC_SAT_ED_TEMPLATE_NAME);
    SetFocus(name);
    // The proposal is selected, so typing replaces it.
    SendMessageW(name, EM_SETSEL, 0, -1);
}

void TfmSaveAsTemplate::BitBtn1Click() {
    NamePromptAnswer answer;
    answer.name = ItemText(hwnd_, IDC_SAT_ED_TEMPLATE_NAME);
    answer.allUsers = IsDlgButtonChecked(hwnd_, IDC_SAT_RB_USER) != BST_CHECKED;
    if (prompt_.accept && !prompt_.accept(answer.name)) {
        // The user has been told what is wrong; the name stays to be corrected.
        FormShow();
        return;
    }
    answer_ = std::move(answer);
    EndDialog(hwnd_, IDOK);
}

}  // namespace lark
