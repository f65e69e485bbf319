#pragma once
// Keystroke scripts pressed for real: SendInput to whatever window has the keyboard focus,
// and the waits for another program to be ready. Everything here runs on the user-interface
// thread and keeps the program's windows responsive while it waits.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "actions/key_script.h"

namespace lark {

// The keyboard layout of the window in front, which is the one that receives the keys.
KeyLayout ForegroundKeyLayout();

class Win32KeySender final : public KeySender {
  public:
    void PressKey(uint8_t key, uint8_t modifier, int32_t count) override;
    void TypeCharacter(char32_t character, int32_t count) override;
    void Pause(uint32_t milliseconds) override;
    void WaitForForegroundIdle() override;
    void WaitForForegroundToClose() override;
};

// Sends the script to the window with the focus; waitMode 1 then waits until the process of
// the window in front is idle for input.
void SendKeyScript(std::string_view script, int waitMode);

// Presses and releases key count times, holding modifier (when not 0) around the presses.
void PressKey(uint8_t key, uint8_t modifier, int32_t count);

// Waits until the process is idle for input; limitSeconds -1 waits as long as it takes. False
// when the process could not be opened or the limit passed first. The wait also ends when the
// program is closing.
bool WaitForInputIdleOf(DWORD processId, int limitSeconds);

// Waits while the window exists; limitMs -1 waits as long as it takes. True once it is gone.
bool WaitWhileWindowExists(HWND window, int limitMs);

}  // namespace lark
