#pragma once
// The one window procedure of the program. Every window and dialog is a MessageTarget: the
// procedure finds the object when the window is created (WM_NCCREATE for a window,
// WM_INITDIALOG for a dialog), hands it every message through the class's own switch, and
// turns an exception thrown by a handler into the general error box, so a failing command
// is abandoned and reported, never silently and never by unwinding into Windows.
#include <windows.h>

#include <functional>
#include <string_view>

namespace lark {

class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    // A window answers as a window procedure does (DefWindowProcW for what it leaves alone);
    // a dialog as a dialog procedure (FALSE for what it leaves alone, SetDialogResult for a
    // value the message returns).
    virtual LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

// The class procedure for RegisterClassExW; create the window with CreateWindowExW and
// WindowParam(target) as its creation parameter.
LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The dialog procedure for DialogBox*ParamW and CreateDialog*ParamW, with DialogParam(target)
// as the initialisation parameter.
INT_PTR CALLBACK SharedDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

inline void* WindowParam(MessageTarget* target) {
    return target;
}
inline LPARAM DialogParam(MessageTarget* target) {
    return reinterpret_cast<LPARAM>(target);
}

// The window's target, or null before creation reached it and after WM_NCDESTROY.
MessageTarget* TargetOf(HWND hwnd);

// Stops the window's messages from reaching its target (an owner tearing the window down
// from its destructor).
void DetachTarget(HWND hwnd);

// A dialog's answer to a message that returns a value (WM_NOTIFY and the like).
inline LRESULT SetDialogResult(HWND dialog, LRESULT result) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

// Registers a window class on the shared procedure; harmless when it already exists.
void RegisterTargetClass(const wchar_t* className, UINT style = 0, HCURSOR cursor = nullptr,
                         HBRUSH background = nullptr, HICON icon = nullptr);

// The general error box: what a command that failed reports. The running program points it
// at its own message boxes; until then it is a plain error box owned by the active window.
using GeneralErrorBox = std::function<void(std::string_view text)>;
// Returns the box that was in place, so a test can put it back.
GeneralErrorBox SetGeneralErrorBox(GeneralErrorBox box);
// Shows text in the general error box. A failure met while the box is already up (a paint
// handler that throws each time) is not shown again over it.
void ShowGeneralError(std::string_view text);
// Reports the exception being handled; call only inside a catch block.
void ReportCurrentException();
// The program entry's boundary: body's result, or 1 once what body threw has been shown in the
// general error box (a start-up that fails says why before the process ends).
int RunReportingFailure(const std::function<int()>& body);

}  // namespace lark
