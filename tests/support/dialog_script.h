#pragma once
// Drives a modal dialog of this thread from inside its own message loop: the steps run once
// the dialog with the caption is up, then whatever they left open is cancelled.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lark::test {

class DialogScript {
  public:
    DialogScript(std::wstring caption, std::function<void(HWND dialog)> steps);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    bool Ran() const { return ran_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
    std::wstring caption_;
    std::function<void(HWND)> steps_;
    UINT_PTR timer_ = 0;
    bool ran_ = false;
};

// What a user does with the mouse and keys, in this process.
void ClickButton(HWND dialog, int id);
// Left click at a point of the control's client area (the control's own mouse handling
// runs; a drag is never started).
void ClickAt(HWND control, POINT point, WPARAM keys = 0);
// A click on a tab of a tab control.
void ClickTab(HWND tab, int index);
// Replaces an edit control's text as typing over a selection of all of it does.
void TypeInto(HWND edit, const std::string& text);
std::string TextOf(HWND window);
bool IsChecked(HWND dialog, int id);

}  // namespace lark::test
