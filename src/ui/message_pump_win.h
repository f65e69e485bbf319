#pragma once
// The program's one message pump: the main loop and every wait that keeps the windows
// responsive (WaitPumping, Refresh's wait, the settling wait of a change watch) dispatch
// through it, so each of them treats keys the same way.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace lark {

// A look at each message before it is dispatched (the main window's key preview); true when
// the message was used and must not be dispatched. One per thread, set by the main window.
using MessagePreview = std::function<bool(const MSG&)>;
void SetMessagePreview(MessagePreview preview);

// Modeless dialogs get their keyboard handling (Tab, Enter, Esc) while they are registered.
void AddModelessDialog(HWND dialog);
void RemoveModelessDialog(HWND dialog);

// Dispatches the messages waiting in the calling thread's queue. False when a WM_QUIT was
// met: it is posted again for the message loop and the caller should stop waiting.
bool PumpWaitingMessages();

// The message loop; idle runs each time the queue has been emptied. Returns WM_QUIT's code.
int RunMessageLoop(const std::function<void()>& idle);

inline constexpr uint32_t kPumpForever = 0xFFFFFFFFu;

// Dispatches messages until done() is true or limitMs (tick count) have passed, sleeping
// while nothing arrives. A WM_QUIT ends the wait early.
void PumpUntil(const std::function<bool()>& done, uint32_t limitMs);

// Returns once ms milliseconds have passed, dispatching messages meanwhile.
void WaitPumping(uint32_t ms);

}  // namespace lark
