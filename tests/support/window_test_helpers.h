#pragma once
// What the window tests share: the program's pictures and dialogs (loaded from the built
// program file), a plain host window, and message pumping.
#include <windows.h>

#include <functional>
#include <string>

namespace lark::test {

std::wstring ProgramPath();
// The built program loaded as data, for its pictures, dialogs and version block.
HINSTANCE ProgramResources();
void PumpMessages(DWORD millis);

// A plain top-level window whose messages go to a test's handler first.
class HostWindow {
  public:
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
    explicit HostWindow(Handler handler, DWORD style = WS_OVERLAPPEDWINDOW, int width = 730,
                        int height = 465);
    ~HostWindow();
    HWND hwnd = nullptr;

  private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    Handler handler_;
};

}  // namespace lark::test
