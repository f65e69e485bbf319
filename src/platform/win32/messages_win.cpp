#include "platform/win32/messages_win.h"

#include "platform/win32/encoding_win.h"

namespace lark {

int Win32Messages::Show(std::string_view text, UINT type) {
    // A box belongs in front of the window the user is working in: the active dialog of this
    // thread when there is one, otherwise the main window.
    HWND owner = GetActiveWindow();
    if (!owner || !IsWindowVisible(owner) || !IsWindowEnabled(owner)) owner = owner_;
    if (!IsWindow(owner)) owner = nullptr;
    // Without an owner the program lives in the tray and its box would open behind the
    // window the user is working in.
    if (!owner) type |= MB_TASKMODAL | MB_SETFOREGROUND;
    return MessageBoxW(owner, Widen(text).c_str(), kMessageCaption, type);
}

void Win32Messages::Error(std::string_view text) {
    Show(text, MB_OK | MB_ICONERROR);
}

bool Win32Messages::Confirm(std::string_view text) {
    return Show(text, MB_YESNO | MB_ICONWARNING) == IDYES;
}

void Win32Messages::Info(std::string_view text) {
    Show(text, MB_OK | MB_ICONINFORMATION);
}

void Win32Messages::Warning(std::string_view text) {
    Show(text, MB_OK | MB_ICONWARNING);
}

}  // namespace lark
