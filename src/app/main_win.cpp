#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/context.h"
#include "app/main_window_win.h"
#include "app/settings.h"
#include "platform/messages.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {
namespace {

class BoxMessages final : public Messages {
  public:
    void Error(std::string_view text) override { Box(text, MB_ICONERROR | MB_OK); }
    bool Confirm(std::string_view text) override {
        return Box(text, MB_ICONWARNING | MB_YESNO) == IDYES;
    }
    void Info(std::string_view text) override { Box(text, MB_ICONINFORMATION | MB_OK); }

  private:
    static int Box(std::string_view text, UINT flags) {
        return MessageBoxW(nullptr, Widen(text).c_str(), L"Larkspire", flags | MB_TASKMODAL);
    }
};

// The message loop; the idle handler runs each time the queue has been emptied.
int RunMessageLoop(TfmOpen& main) {
    MSG msg;
    for (;;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return int(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        main.OnIdle();
        WaitMessage();
    }
}

int Run() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    Win32FileSystem fs;
    Win32Registry registry;
    Win32Clock clock;
    BoxMessages messages;
    Settings settings;
    AppContext ctx{fs,
                   registry,
                   clock,
                   messages,
                   settings,
                   ExecutablePath(),
                   UserLoginNameFromSystem(),
                   TempFolderPathFromSystem(),
                   RecentFolderPathFromSystem()};
    TfmOpen main(ctx);
    // The search dialog and the activity window are created here, hidden, as they arrive.
    if (!main.Handle() || !main.ActivateTray()) return 0;
    return RunMessageLoop(main);
}

}  // namespace
}  // namespace lark

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = 0;
    try {
        rc = lark::Run();
    } catch (...) {
        rc = 1;
    }
    if (SUCCEEDED(com)) CoUninitialize();
    // Worker threads still waiting on folders end with the process.
    ExitProcess(UINT(rc));
}
