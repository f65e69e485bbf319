#include "support/dialog_script.h"

#include <commctrl.h>

#include <map>

#include "platform/win32/encoding_win.h"

namespace lark::test {

namespace {

std::map<UINT_PTR, DialogScript*>& Scripts() {
    static std::map<UINT_PTR, DialogScript*> scripts;
    return scripts;
}

}  // namespace

DialogScript::DialogScript(std::wstring caption, std::function<void(HWND)> steps)
    : caption_(std::move(caption)), steps_(std::move(steps)) {
    timer_ = SetTimer(nullptr, 0, 30, Tick);
    Scripts()[timer_] = this;
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, timer_);
    Scripts().erase(timer_);
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = Scripts().find(timer);
    if (found == Scripts().end()) return;
    DialogScript& script = *found->second;
    HWND dialog = FindWindowW(L"#32770", script.caption_.c_str());
    // Not shown yet, or a box over it.
    if (!dialog || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) return;
    KillTimer(nullptr, timer);
    script.ran_ = true;
    script.steps_(dialog);
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

void ClickButton(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void ClickAt(HWND control, POINT point, WPARAM keys) {
    const LPARAM at = MAKELPARAM(point.x, point.y);
    // A control that tracks the mouse after the press finds the release already waiting.
    PostMessageW(control, WM_LBUTTONUP, keys, at);
    SendMessageW(control, WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    MSG msg;
    while (PeekMessageW(&msg, control, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

void ClickTab(HWND tab, int index) {
    RECT r{};
    SendMessageW(tab, TCM_GETITEMRECT, WPARAM(index), LPARAM(&r));
    ClickAt(tab, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void TypeInto(HWND edit, const std::string& text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, LPARAM(Widen(text).c_str()));
}

std::string TextOf(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return Narrow(text);
}

bool IsChecked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace lark::test
