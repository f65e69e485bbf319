#pragma once
// Insert into dialog on Windows: the noted previous window, SendInput and the clipboard.
#include <windows.h>

#include <string>
#include <string_view>

#include "actions/insert_into_dialog.h"
#include "actions/previous_window_win.h"

namespace lark {

class Win32InsertTarget final : public InsertTarget {
  public:
    // clipboardOwner: a window of this program (the main window, hidden or not).
    Win32InsertTarget(const PreviousWindow& previous, HWND clipboardOwner)
        : previous_(previous), clipboardOwner_(clipboardOwner) {}

    Return BringBackPreviousWindow() override { return previous_.BringBack(); }
    void SendKeyScript(std::string_view script, int waitMode) override;
    void ProcessMessages() override;
    bool SetClipboardText(const std::string& text) override;

  private:
    const PreviousWindow& previous_;
    HWND clipboardOwner_;
};

}  // namespace lark
