// A small program of its own that shows the standard Save As or Open dialog over a window of
// its own, the way an editor does, so a test can have Larkspire type paths into it.
//
//     file_dialog_host save|open
//
// Writes the name the dialog ended with (empty when cancelled) to standard output.
#include <windows.h>
// needs windows.h first
#include <commdlg.h>

#include <cstdio>
#include <string>

namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool save = argc < 2 || std::wstring(argv[1]) != L"open";
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FileDialogHost";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, wc.lpszClassName, L"File dialog host", WS_OVERLAPPEDWINDOW, 40,
                                 40, 500, 300, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(owner, SW_SHOW);
    SetForegroundWindow(owner);

    std::wstring name(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"All Files (*.*)\0*.*\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = DWORD(name.size());
    ofn.lpstrTitle = save ? L"Save As" : L"Open";
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    name.resize(chosen ? wcslen(name.c_str()) : 0);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, name.c_str(), int(name.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string utf8(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name.c_str(), int(name.size()), utf8.data(), bytes, nullptr,
                        nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    DestroyWindow(owner);
    return 0;
}
