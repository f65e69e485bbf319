#include "views/launch_win.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/encoding_win.h"

namespace lark {

namespace {

// Releases a COM interface pointer at the end of a scope.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T** Out() { return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(&p_); }

  private:
    T* p_ = nullptr;
};

struct ItemIdList {
    ItemIdList() = default;
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;
    ~ItemIdList() { CoTaskMemFree(pidl); }
    PIDLIST_ABSOLUTE pidl = nullptr;
};

struct MenuOwner {
    explicit MenuOwner(HMENU m) : menu(m) {}
    MenuOwner(const MenuOwner&) = delete;
    MenuOwner& operator=(const MenuOwner&) = delete;
    ~MenuOwner() {
        if (menu) DestroyMenu(menu);
    }
    HMENU menu;
};

// COM for the length of one call; a thread that already has it keeps its own.
struct ComScope {
    ComScope() : hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
    HRESULT hr;
};

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
    MenuOwner popup(CreatePopupMenu());
    if (!popup.menu) return true;
    if (FAILED(menuObject->QueryContextMenu(popup.menu, 0, kFirstMenuCommand, kLastMenuCommand,
                                            CMF_EXPLORE | CMF_CANRENAME))) {
        return true;
    }
    UINT command =
        UINT(TrackPopupMenu(popup.menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
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

intptr_t Win32ShellExecutor::Execute(const ShellRequest& request) {
    std::wstring verb = Widen(request.verb);
    std::wstring target = Widen(request.target);
    std::wstring params = Widen(request.params);
    std::wstring folder = Widen(request.folder);
    HINSTANCE result = ShellExecuteW(
        static_cast<HWND>(request.owner), verb.empty() ? nullptr : verb.c_str(), target.c_str(),
        params.empty() ? nullptr : params.c_str(), folder.empty() ? nullptr : folder.c_str(),
        request.show == ShellShow::Show ? SW_SHOW : SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result);
}

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

intptr_t OpenHelpTopic(ShellExecutor& shell, std::string_view exePath, int topic) {
    return RunShellTarget(shell, HelpPagePath(exePath, topic));
}

}  // namespace lark
