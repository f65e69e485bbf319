#include <windows.h>
// needs the types of windows.h
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/main_layout_win.h"
#include "app/main_window_win.h"
#include "config/win32_app_win.h"
#include "platform/win32/handles_win.h"
#include "search/search_dialog_win.h"
#include "views/launch_win.h"

namespace lark {
namespace {

// The message loop; the idle handler runs each time the queue has been emptied.
int RunMessageLoop(TfmOpen& main) {
    MSG msg;
    for (;;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return int(msg.wParam);
            if (PreviewWindowKey(main.Handle(), msg)) continue;
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
    Win32App app;
    // Two starts at the same moment could each find the other's half-made window, and both
    // would hand over and end. Start-ups take turns, so one decides before the next looks.
    UniqueKernelHandle startupTurn(CreateMutexW(nullptr, FALSE, L"Local\\Larkspire.StartUp"));
    const bool ownTurn =
        startupTurn && WaitForSingleObject(startupTurn.Get(), 30000) != WAIT_TIMEOUT;
    TfmOpen main(app.Context());
    if (ownTurn) ReleaseMutex(startupTurn.Get());
    app.MessageBoxes().SetOwner(main.Handle());
    // The search dialog and the activity window are created here, hidden, as they arrive.
    if (!main.Handle() || !main.KeepRunning()) return 0;
    // The search dialog edits the main window's one set of search criteria.
    Win32ShellExecutor shell;
    TfmSearch search(app.Context(), main.Criteria(), shell);
    search.FormCreate();
    main.SetSearchDialog(&search);
    // The activity window is created here, hidden, when it arrives.
    if (!main.ActivateTray()) return 0;
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
