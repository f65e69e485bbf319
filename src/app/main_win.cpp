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
#include "ui/message_pump_win.h"
#include "ui/window_proc_win.h"

namespace lark {
namespace {

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
    TfmSearch search(app.Context(), main.Criteria(), main.Shell());
    search.FormCreate();
    main.SetSearchDialog(&search);
    // The activity window is created here, hidden, when it arrives.
    if (!main.ActivateTray()) return 0;
    // Key preview: the main window sees a key pressed in any of its controls first.
    SetMessagePreview([&main](const MSG& msg) { return PreviewWindowKey(main.Handle(), msg); });
    return RunMessageLoop([&main] { main.OnIdle(); });
}

}  // namespace
}  // namespace lark

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int rc = lark::RunReportingFailure(lark::Run);
    if (SUCCEEDED(com)) CoUninitialize();
    // Worker threads still waiting on folders end with the process.
    ExitProcess(UINT(rc));
}
