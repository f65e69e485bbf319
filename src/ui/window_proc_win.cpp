#include "ui/window_proc_win.h"

#include <exception>
#include <string>
#include <utility>

#include "platform/win32/encoding_win.h"
#include "platform/win32/messages_win.h"

namespace lark {
namespace {

GeneralErrorBox& ErrorBox() {
    static GeneralErrorBox box;
    return box;
}

bool gErrorBoxUp = false;

// Runs one message through its target; what the target throws ends here.
template <typename Handle>
LRESULT Dispatch(LRESULT failed, Handle&& handle) {
    try {
        return handle();
    } catch (...) {
        ReportCurrentException();
        return failed;
    }
}

}  // namespace

namespace {

// Dialogs keep their target in the dialog's own slot, windows in the user slot.
int TargetSlot(HWND hwnd) {
    wchar_t cls[8] = {};
    GetClassNameW(hwnd, cls, 8);
    return std::wstring_view(cls) == L"#32770" ? DWLP_USER : GWLP_USERDATA;
}

}  // namespace

MessageTarget* TargetOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    return reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(hwnd, TargetSlot(hwnd)));
}

void DetachTarget(HWND hwnd) {
    if (hwnd) SetWindowLongPtrW(hwnd, TargetSlot(hwnd), 0);
}

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!target) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return Dispatch(0, [&] { return target->HandleMessage(hwnd, msg, wParam, lParam); });
}

INT_PTR CALLBACK SharedDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!target) return FALSE;
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    return Dispatch(FALSE, [&] { return target->HandleMessage(hwnd, msg, wParam, lParam); });
}

void RegisterTargetClass(const wchar_t* className, UINT style, HCURSOR cursor, HBRUSH background,
                         HICON icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = SharedWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

GeneralErrorBox SetGeneralErrorBox(GeneralErrorBox box) {
    return std::exchange(ErrorBox(), std::move(box));
}

void ShowGeneralError(std::string_view text) {
    if (gErrorBoxUp) {
        OutputDebugStringW(Widen(text).c_str());
        return;
    }
    gErrorBoxUp = true;
    try {
        if (ErrorBox()) {
            ErrorBox()(text);
        } else {
            MessageBoxW(GetActiveWindow(), Widen(text).c_str(), kMessageCaption,
                        MB_OK | MB_ICONERROR);
        }
    } catch (...) {
        // The box itself failed (out of memory); nothing is left to tell the user with.
    }
    gErrorBoxUp = false;
}

int RunReportingFailure(const std::function<int()>& body) {
    try {
        return body();
    } catch (...) {
        ReportCurrentException();
        return 1;
    }
}

void ReportCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        ShowGeneralError(e.what());
    } catch (...) {
        ShowGeneralError("An unexpected error occurred.");
    }
}

}  // namespace lark
