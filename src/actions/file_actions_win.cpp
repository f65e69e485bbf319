#include "actions/file_actions_win.h"

#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>

#include "actions/erase_file_win.h"
#include "platform/win32/encoding_win.h"
#include "views/file_list_win.h"
#include "views/launch_win.h"

namespace lark {

namespace {

std::string WindowText(HWND window) {
    if (!window) return std::string();
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(std::max(0, GetWindowTextW(window, text.data(), int(text.size())))));
    return Narrow(text);
}

// Different bytes for two erasures started within one clock tick.
uint64_t EraseSeed() {
    static std::atomic<uint64_t> calls{0};
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return uint64_t(counter.QuadPart) ^ (GetTickCount64() << 32) ^
           (++calls * 0x9E3779B97F4A7C15ull);
}

}  // namespace

bool ShellDeleteFiles(HWND topWindow, const std::vector<std::string>& paths, bool permanent) {
    // Each path ends in a NUL and the list in one more.
    std::wstring list;
    for (const std::string& path : paths) {
        list += Widen(path);
        list += L'\0';
    }
    if (list.empty()) return false;
    list += L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = permanent ? 0 : FOF_ALLOWUNDO;
    if (topWindow)
        SetWindowPos(topWindow, HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    int result = SHFileOperationW(&operation);
    if (topWindow)
        SetWindowPos(topWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return result == 0 && !operation.fAnyOperationsAborted;
}

std::optional<std::string> AskTargetPath(HWND owner, const TargetDialog& dialog) {
    // The bars of the filter become the NULs the dialog wants, with one more at the end.
    std::wstring filter = Widen(dialog.filter);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter += L'\0';
    std::wstring file = Widen(dialog.fileName);
    file.resize(32768, L'\0');
    std::wstring folder = Widen(dialog.initialFolder);
    std::wstring title = Widen(dialog.title);
    std::wstring extension = Widen(dialog.defaultExtension);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
                OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (!GetSaveFileNameW(&ofn)) return std::nullopt;
    return Narrow(file.c_str());
}

WindowFileActionsHost::~WindowFileActionsHost() {
    if (busyDepth_ > 0) SetCursor(savedCursor_);
}

std::string WindowFileActionsHost::OpenBoxText() {
    return WindowText(parts_.openBox);
}

void WindowFileActionsHost::SetOpenBoxText(std::string_view text) {
    if (parts_.openBox) SetWindowTextW(parts_.openBox, Widen(text).c_str());
}

std::optional<size_t> WindowFileActionsHost::FirstSelectedRow() {
    int row = parts_.list ? parts_.list->FirstSelectedRow() : -1;
    if (row < 0) return std::nullopt;
    return size_t(row);
}

void WindowFileActionsHost::RepaintList() {
    if (parts_.list) parts_.list->Repaint();
}

void WindowFileActionsHost::BeginLabelEdit(size_t row) {
    if (parts_.list) parts_.list->EditLabel(int(row));
}

bool WindowFileActionsHost::ControlKeyDown() {
    return GetKeyState(VK_CONTROL) < 0;
}

void WindowFileActionsHost::SetBusyCursor(bool busy) {
    if (busy) {
        if (busyDepth_++ == 0) savedCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        SetCursor(savedCursor_);
    }
}

bool WindowFileActionsHost::ShellDeleteFiles(const std::vector<std::string>& paths,
                                             bool permanent) {
    return lark::ShellDeleteFiles(parts_.window, paths, permanent);
}

EraseResult WindowFileActionsHost::EraseFile(std::string_view path) {
    return lark::EraseFile(path, EraseSeed());
}

std::optional<std::string> WindowFileActionsHost::AskTargetPath(const TargetDialog& dialog) {
    return lark::AskTargetPath(parts_.window, dialog);
}

void WindowFileActionsHost::ShowShellContextMenu(std::string_view path) {
    POINT cursor{};
    GetCursorPos(&cursor);
    lark::ShowShellContextMenu(parts_.window, path, cursor.x, cursor.y, parts_.hideWindow);
}

void WindowFileActionsHost::HideWindow() {
    if (parts_.hideWindow) parts_.hideWindow();
}

void WindowFileActionsHost::StartIndexBuild() {
    if (parts_.startIndexBuild) parts_.startIndexBuild();
}

}  // namespace lark
