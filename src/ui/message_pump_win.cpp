#include "ui/message_pump_win.h"

#include <windows.h>

namespace lark {

void WaitPumping(uint32_t ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;  // unsigned: survives the wrap
        if (elapsed >= ms) return;
        // Sleep until a message arrives or the time is up rather than spinning a core.
        MsgWaitForMultipleObjectsEx(0, nullptr, ms - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace lark
