#include "support/window_test_helpers.h"

#include <string>

namespace lark::test {

std::wstring ProgramPath() {
    std::string unix = LARKSPIRE_EXE_UNIX_PATH;
    std::wstring path = L"Z:";
    for (char c : unix) path += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

HINSTANCE ProgramResources() {
    static HINSTANCE module = LoadLibraryExW(
        ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module;
}

void PumpMessages(DWORD millis) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (millis > 0) Sleep(5);
    } while (GetTickCount() - start < millis);
}

HostWindow::HostWindow(Handler handler, DWORD style, int width, int height)
    : handler_(std::move(handler)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"LarkspireTestHost";
    RegisterClassExW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"Larkspire", style, 100, 100, width, height,
                           nullptr, nullptr, wc.hInstance, this);
}

HostWindow::~HostWindow() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

LRESULT CALLBACK HostWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->handler_ && self->handler_(hwnd, msg, wParam, lParam, result)) return result;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace lark::test
