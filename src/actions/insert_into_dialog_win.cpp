#include "actions/insert_into_dialog_win.h"

#include "actions/key_sender_win.h"
#include "platform/win32/clipboard_win.h"
#include "ui/message_pump_win.h"

namespace lark {

void Win32InsertTarget::SendKeyScript(std::string_view script, int waitMode) {
    lark::SendKeyScript(script, waitMode);
}

void Win32InsertTarget::ProcessMessages() {
    PumpWaitingMessages();
}

bool Win32InsertTarget::SetClipboardText(const std::string& text) {
    return lark::SetClipboardText(clipboardOwner_, text);
}

}  // namespace lark
