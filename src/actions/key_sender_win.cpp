#include "actions/key_sender_win.h"

#include <vector>

#include "platform/win32/handles_win.h"
#include "ui/message_pump_win.h"

namespace lark {
namespace {

constexpr size_t kInputsPerCall = 1024;

// Keys of the extended block (navigation keys, Num Lock, Print Screen): without the flag a
// program reading scan codes sees the numeric keypad's keys instead.
bool IsExtendedKey(uint8_t key) {
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE ||
           key == VK_SNAPSHOT || key == VK_NUMLOCK;
}

INPUT KeyInput(uint8_t key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    // Some programs read the scan code rather than the virtual key.
    input.ki.wScan = WORD(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT UnicodeInput(wchar_t unit, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = unit;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

void Send(std::vector<INPUT>& inputs) {
    if (!inputs.empty()) SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A WM_QUIT put back by the pump: the program is closing and no wait may hold it.
bool QuitPending() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    if (window) GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::optional<LayoutKey> KeyOnLayout(HKL layout, char32_t character) {
    if (character > 0xFFFF) return std::nullopt;
    const SHORT scan = VkKeyScanExW(wchar_t(character), layout);
    const BYTE key = LOBYTE(scan);
    const BYTE state = HIBYTE(scan);
    if (scan == -1 || key == 0xFF) return std::nullopt;
    // Only Shift is ever held for a character; one that needs Ctrl, Alt (AltGr) or a
    // keyboard's special shift goes as a Unicode key event.
    if (state & ~1) return std::nullopt;
    // A dead key types nothing until the next key comes.
    if (MapVirtualKeyExW(key, MAPVK_VK_TO_CHAR, layout) & 0x80000000u) return std::nullopt;
    return LayoutKey{key, (state & 1) != 0};
}

}  // namespace

KeyLayout ForegroundKeyLayout() {
    HWND front = GetForegroundWindow();
    const HKL layout = GetKeyboardLayout(front ? GetWindowThreadProcessId(front, nullptr) : 0);
    return [layout](char32_t character) { return KeyOnLayout(layout, character); };
}

void PressKey(uint8_t key, uint8_t modifier, int32_t count) {
    std::vector<INPUT> inputs;
    if (modifier) inputs.push_back(KeyInput(modifier, false));
    for (int32_t i = 0; i < count; ++i) {
        inputs.push_back(KeyInput(key, false));
        inputs.push_back(KeyInput(key, true));
        // A large count goes in parts rather than as one huge block of input.
        if (inputs.size() >= kInputsPerCall) {
            Send(inputs);
            inputs.clear();
        }
    }
    if (modifier) inputs.push_back(KeyInput(modifier, true));
    Send(inputs);
    if (modifier) PumpWaitingMessages();
}

void Win32KeySender::PressKey(uint8_t key, uint8_t modifier, int32_t count) {
    lark::PressKey(key, modifier, count);
}

void Win32KeySender::TypeCharacter(char32_t character, int32_t count) {
    wchar_t units[2];
    size_t unitCount = 1;
    if (character > 0xFFFF) {
        character -= 0x10000;
        units[0] = wchar_t(0xD800 + (character >> 10));
        units[1] = wchar_t(0xDC00 + (character & 0x3FF));
        unitCount = 2;
    } else {
        units[0] = wchar_t(character);
    }
    std::vector<INPUT> inputs;
    for (int32_t i = 0; i < count; ++i) {
        for (size_t u = 0; u < unitCount; ++u) inputs.push_back(UnicodeInput(units[u], false));
        for (size_t u = 0; u < unitCount; ++u) inputs.push_back(UnicodeInput(units[u], true));
        if (inputs.size() >= kInputsPerCall) {
            Send(inputs);
            inputs.clear();
        }
    }
    Send(inputs);
}

void Win32KeySender::Pause(uint32_t milliseconds) {
    WaitPumping(milliseconds);
}

void Win32KeySender::WaitForForegroundIdle() {
    WaitForInputIdleOf(ProcessOf(GetForegroundWindow()), -1);
}

void Win32KeySender::WaitForForegroundToClose() {
    WaitForInputIdleOf(ProcessOf(GetForegroundWindow()), -1);
    if (HWND front = GetForegroundWindow()) WaitWhileWindowExists(front, -1);
}

void SendKeyScript(std::string_view script, int waitMode) {
    Win32KeySender sender;
    SendKeyScript(script, waitMode, sender, ForegroundKeyLayout());
}

bool WaitForInputIdleOf(DWORD processId, int limitSeconds) {
    if (processId == 0) return false;
    // Only what the idle wait needs: full access is refused for many programs that the
    // keys still reach.
    UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, processId));
    if (!process) return false;
    const DWORD start = GetTickCount();
    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        result = WaitForInputIdle(process.Get(), 1);
        if (result != WAIT_TIMEOUT) break;
        WaitPumping(50);
        if (QuitPending()) break;
        if (limitSeconds >= 0 && GetTickCount() - start >= DWORD(limitSeconds) * 1000u) break;
    }
    return result != WAIT_TIMEOUT;
}

bool WaitWhileWindowExists(HWND window, int limitMs) {
    PumpUntil([window] { return !IsWindow(window) || QuitPending(); },
              limitMs < 0 ? kPumpForever : uint32_t(limitMs));
    return !IsWindow(window);
}

}  // namespace lark
