#pragma once
// The window the user was working in when the main window was called up (tray click, hot key,
// a second start with /RUN), so that Insert into dialog goes back to exactly that window.
#include <windows.h>

#include "actions/insert_into_dialog.h"

namespace lark {

class PreviousWindow {
  public:
    // Notes the window in front; call just before ownWindow is shown. A window of this program
    // keeps the earlier note (the main window shown again over its own dialogs). The shell's
    // taskbar, which a tray click brings to the front, and the desktop give way to the
    // window the user last worked in.
    void Remember(HWND ownWindow);
    HWND Window() const { return window_; }
    // Brings the noted window to the front with its focus where the user left it (a dialog
    // that has come up over the noted window since takes its place) and waits until its
    // program is idle for input.
    InsertTarget::Return BringBack() const;

  private:
    HWND window_ = nullptr;
};

// The window Alt+Tab would go to: the first window in Z order, other than ownProcess's, that
// the user could be working in.
HWND TaskWindowInFront(DWORD ownProcess);

}  // namespace lark
