#include "views/launch_win.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/com_win.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"

namespace lark {

namespace {

constexpr UINT kFirstMenuCommand = 1;
constexpr UINT kLastMenuCommand = 0x7FFF;

// False when the shell has no context menu for the item.
bool ShowShellMenu(HWND owner, std::string_view path, int x, int y) {
    ComScope com;
    ItemIdList item;
    if (FAILED(SHParseDisplayName(Widen(path).c_str(), nullptr, &item.pidl, 0, nullptr))) {
        return false;
    }
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(SHBindToParent(item.pidl, IID_IShellFolder, parent.OutVoid(), &child))) {
        return false;
    }
    ComPtr<IContextMenu> menuObject;
    if (FAILED(parent->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr,
                                     menuObject.OutVoid()))) {
        return false;
    }
    UniqueMenu popup(CreatePopupMenu());
    if (!popup) return true;
    if (FAILED(menuObject->QueryContextMenu(popup.Get(), 0, kFirstMenuCommand, kLastMenuCommand,
                                            CMF_EXPLORE | CMF_CANRENAME))) {
        return true;
    }
    UINT command =
        UINT(TrackPopupMenu(popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    if (command < kFirstMenuCommand) return true;
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof(invoke);
    invoke.hwnd = owner;
    invoke.lpVerb = MAKEINTRESOURCEA(command - kFirstMenuCommand);
    invoke.nShow = SW_SHOWNORMAL;
    menuObject->InvokeCommand(&invoke);
    return true;
}

}  // namespace

std::string BrowseForFile(HWND owner, Registry& registry, std::string& lastAttachDir) {
    std::wstring initialFolder = Widen(BrowseStartFolder(registry, lastAttachDir));
    wchar_t file[MAX_PATH] = L"";
    // The bars of "All Files (*.*)|*.*" become the NULs the dialog wants.
    wchar_t filter[] = L"All Files (*.*)\0*.*\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    ofn.lpstrTitle = L"Open";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return std::string();
    std::string chosen = Narrow(file);
    RememberBrowsedFile(registry, lastAttachDir, chosen);
    return chosen;
}

void BrowseAndLaunch(HWND owner, Registry& registry, std::string& lastAttachDir, LaunchHost& host,
                     const std::function<void(const std::string&)>& setOpenBoxText) {
    std::string chosen = BrowseForFile(owner, registry, lastAttachDir);
    if (chosen.empty()) return;
    if (setOpenBoxText) setOpenBoxText(chosen);
    LaunchOpenBox(host, kVerbOpen, chosen);
}

void ShowShellContextMenu(HWND owner, std::string_view path, int x, int y,
                          const std::function<void()>& hideWindow) {
    if (ShowShellMenu(owner, path, x, y) && hideWindow) hideWindow();
}

}  // namespace lark
