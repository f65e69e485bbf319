#pragma once
// Runs a callable on the user-interface thread and waits for it: the one way a worker
// thread touches the program's state. Created on the user-interface thread.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

#include "ui/window_proc_win.h"

namespace lark {

class UiDispatch final : public MessageTarget {
  public:
    static std::shared_ptr<UiDispatch> Create();
    ~UiDispatch() override;
    UiDispatch(const UiDispatch&) = delete;
    UiDispatch& operator=(const UiDispatch&) = delete;

    // Runs fn on the user-interface thread (directly when called there) and returns once
    // it ran. False when the dispatcher was closed (fn did not run) or fn threw (what it
    // threw went to the general error box).
    bool Run(const std::function<void()>& fn);
    bool IsOpen() const { return window_.load() != nullptr; }
    // From now on nothing runs; workers still holding the dispatcher get false. Call on
    // the user-interface thread before the state the callables reach goes away.
    void Close();

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    UiDispatch() = default;
    std::atomic<HWND> window_{nullptr};
    DWORD threadId_ = 0;
};

}  // namespace lark
