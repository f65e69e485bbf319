#include "ui/message_pump_win.h"

#include <algorithm>
#include <vector>

namespace lark {
namespace {

// The user-interface thread owns these; workers never pump.
MessagePreview& Preview() {
    static MessagePreview preview;
    return preview;
}

std::vector<HWND>& ModelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

bool Pretranslate(MSG& msg) {
    if (Preview() && Preview()(msg)) return true;
    for (HWND dialog : ModelessDialogs()) {
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) return true;
    }
    return false;
}

}  // namespace

void SetMessagePreview(MessagePreview preview) {
    Preview() = std::move(preview);
}

void AddModelessDialog(HWND dialog) {
    auto& dialogs = ModelessDialogs();
    if (std::find(dialogs.begin(), dialogs.end(), dialog) == dialogs.end())
        dialogs.push_back(dialog);
}

void RemoveModelessDialog(HWND dialog) {
    auto& dialogs = ModelessDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

bool PumpWaitingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The loop that owns the quit must still see it.
            PostQuitMessage(int(msg.wParam));
            return false;
        }
        if (Pretranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

int RunMessageLoop(const std::function<void()>& idle) {
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return int(msg.wParam);
            if (Pretranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (idle) idle();
        WaitMessage();
    }
}

void PumpUntil(const std::function<bool()>& done, uint32_t limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (!PumpWaitingMessages() || (done && done())) return;
        const DWORD elapsed = GetTickCount() - start;  // unsigned: survives the wrap
        if (limitMs != kPumpForever && elapsed >= limitMs) return;
        // Sleep until a message arrives or the next look is due rather than spinning a core;
        // done() may turn true without a message, so look again at least every 50 ms.
        DWORD slice = 50;
        if (limitMs != kPumpForever) slice = std::min<DWORD>(slice, limitMs - elapsed);
        MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void WaitPumping(uint32_t ms) {
    PumpUntil(nullptr, ms);
}

}  // namespace lark
