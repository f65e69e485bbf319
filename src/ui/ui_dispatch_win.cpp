#include "ui/ui_dispatch_win.h"

namespace lark {

namespace {

constexpr UINT kRunMessage = WM_APP + 1;
constexpr wchar_t kClassName[] = L"LarkspireUiDispatch";

}  // namespace

LRESULT UiDispatch::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kRunMessage:
            // A window handle can be reused after a dispatcher closed; a request meant for
            // another dispatcher is refused.
            if (reinterpret_cast<UiDispatch*>(wParam) != this) return 0;
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            return 1;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

std::shared_ptr<UiDispatch> UiDispatch::Create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterTargetClass(kClassName);
    std::shared_ptr<UiDispatch> d(new UiDispatch());
    d->threadId_ = GetCurrentThreadId();
    d->window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                 WindowParam(d.get()));
    return d;
}

UiDispatch::~UiDispatch() {
    // Only the user-interface thread may destroy the window; a worker holding the last
    // reference leaves it to the process end.
    if (GetCurrentThreadId() == threadId_) Close();
}

bool UiDispatch::Run(const std::function<void()>& fn) {
    HWND hwnd = window_.load();
    if (!hwnd) return false;
    if (GetCurrentThreadId() == threadId_) {
        fn();
        return true;
    }
    return SendMessageW(hwnd, kRunMessage, reinterpret_cast<WPARAM>(this),
                        reinterpret_cast<LPARAM>(&fn)) == 1;
}

void UiDispatch::Close() {
    HWND hwnd = window_.exchange(nullptr);
    if (hwnd) DestroyWindow(hwnd);
}

}  // namespace lark
