#include "properties/browse_path_win.h"

#include <shellapi.h>

#include <algorithm>

#include "base/text.h"
#include "platform/file_system.h"
#include "platform/win32/com_win.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"
#include "res/properties_ids.h"

namespace lark {

namespace {

// Folders the system keeps to itself (hidden and system at once) are left out of the tree,
// as Explorer leaves them out.
bool IsShownFolder(uint32_t attributes) {
    constexpr uint32_t kProtected = kAttrHidden | kAttrSystem;
    return (attributes & kAttrDirectory) && (attributes & kProtected) != kProtected;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// Whether the folder holds a folder the tree would show; stops at the first one.
bool HasSubFolder(const std::string& path) {
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileExW(WidePath(JoinPath(path, "*")).c_str(), FindExInfoBasic, &found,
                                     FindExSearchLimitToDirectories, nullptr, 0));
    if (!find) return false;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (IsShownFolder(found.dwFileAttributes)) return true;
    } while (FindNextFileW(find.Get(), &found));
    return false;
}

}  // namespace

TfmBrowsePath::TfmBrowsePath(Registry& registry, FileSystem& fs)
    : TMyForm(registry, "fmBrowsePath"), fs_(fs) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
}

bool TfmBrowsePath::ShowModal(HWND owner, HINSTANCE resources, std::string_view root,
                              std::string_view start) {
    root_ = std::string(root);
    start_ = std::string(start);
    chosen_.clear();
    INT_PTR result = DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_BROWSE_PATH), owner,
                                     SharedDialogProc, DialogParam(this));
    return result == IDOK;
}

LRESULT TfmBrowsePath::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            hwnd_ = hwnd;
            FormCreate();
            return FALSE;  // the focus is placed already
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) buOKClick();
            if (LOWORD(wParam) == IDCANCEL) EndDialog(hwnd_, IDCANCEL);
            return TRUE;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(*reinterpret_cast<NMHDR*>(lParam), result))
                return SetDialogResult(hwnd, result);
            return FALSE;
        }
        case WM_SIZE:
            FormResize(LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {minimumSize_.cx, minimumSize_.cy};
            return FALSE;
        }
        case WM_DESTROY:
            StorePlacement();
            return FALSE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            tree_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void TfmBrowsePath::FormCreate() {
    tree_ = GetDlgItem(hwnd_, IDC_BROWSE_TREE);
    RECT window{};
    GetWindowRect(hwnd_, &window);
    minimumSize_ = {window.right - window.left, window.bottom - window.top};
    // The shell's own small pictures; the list belongs to the system and is never freed.
    SHFILEINFOW info{};
    auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        WidePath(root_).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (images) SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(images));

    std::string rootPath = root_.size() > 3 ? TrimTrailingBackslash(root_) : root_;
    // Paths handed back name the drive as Windows writes it.
    if (rootPath.size() >= 2 && rootPath[1] == ':') rootPath[0] = AsciiUpper(rootPath[0]);
    AddFolder(TVI_ROOT, rootPath, rootPath);
    SelectStartFolder(*this, start_);
    RestorePlacement(hwnd_);
    // A tree without a selection selects its first node when it takes the focus; a start
    // path that led nowhere leaves nothing selected, so the focus waits on Cancel.
    SetFocus(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0) ? tree_
                                                                 : GetDlgItem(hwnd_, IDCANCEL));
}

void TfmBrowsePath::FormResize(int width, int height) {
    if (!tree_) return;
    HWND ok = GetDlgItem(hwnd_, IDOK);
    HWND cancel = GetDlgItem(hwnd_, IDCANCEL);
    RECT treeRect{}, okRect{}, cancelRect{};
    GetWindowRect(tree_, &treeRect);
    GetWindowRect(ok, &okRect);
    GetWindowRect(cancel, &cancelRect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&treeRect), 2);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&okRect), 2);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&cancelRect), 2);
    const int margin = treeRect.left;
    const int gap = cancelRect.left - okRect.right;
    const int buttonWidth = cancelRect.right - cancelRect.left;
    const int buttonHeight = cancelRect.bottom - cancelRect.top;
    const int buttonTop = height - margin - buttonHeight;
    const int cancelLeft = width - margin - buttonWidth;
    SetWindowPos(cancel, nullptr, cancelLeft, buttonTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(ok, nullptr, cancelLeft - gap - buttonWidth, buttonTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(tree_, nullptr, 0, 0, std::max(0, width - 2 * margin),
                 std::max(0, buttonTop - 2 * margin), SWP_NOMOVE | SWP_NOZORDER);
}

HTREEITEM TfmBrowsePath::AddFolder(HTREEITEM parent, const std::string& path,
                                   const std::string& fallbackName) {
    SHFILEINFOW info{};
    std::wstring widePath = WidePath(path);
    std::string name = fallbackName;
    int image = 0;
    int openImage = 0;
    if (SHGetFileInfoW(widePath.c_str(), 0, &info, sizeof info,
                       SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
        if (info.szDisplayName[0]) name = Narrow(info.szDisplayName);
        image = info.iIcon;
        openImage = image;
        if (SHGetFileInfoW(widePath.c_str(), 0, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON))
            openImage = info.iIcon;
    }
    std::wstring text = Widen(name);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = text.data();
    insert.item.iImage = image;
    insert.item.iSelectedImage = openImage;
    // Whether the folder has sub-folders is asked only when the node is shown.
    insert.item.cChildren = I_CHILDRENCALLBACK;
    insert.item.lParam = LPARAM(paths_.size());
    paths_.push_back(path);
    loaded_.push_back(false);
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, LPARAM(&insert)));
}

const std::string* TfmBrowsePath::PathOf(HTREEITEM item) const {
    TVITEMW info{};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    if (!item || !SendMessageW(tree_, TVM_GETITEMW, 0, LPARAM(&info))) return nullptr;
    const size_t index = size_t(info.lParam);
    return index < paths_.size() ? &paths_[index] : nullptr;
}

void TfmBrowsePath::LoadSubFolders(HTREEITEM item) {
    TVITEMW info{};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    if (!SendMessageW(tree_, TVM_GETITEMW, 0, LPARAM(&info))) return;
    const size_t index = size_t(info.lParam);
    if (index >= paths_.size() || loaded_[index]) return;
    loaded_[index] = true;
    const std::string folder = paths_[index];
    std::vector<std::string> names;
    fs_.List(folder, [&names](const FileInfo& entry) {
        if (IsShownFolder(entry.attributes)) names.push_back(entry.name);
    });
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return LowerCase(a) < LowerCase(b);
    });
    for (const std::string& name : names) AddFolder(item, JoinPath(folder, name), name);
}

FolderTreeWalk::Node TfmBrowsePath::Root() {
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (!root) return nullptr;
    LoadSubFolders(root);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, LPARAM(root));
    return root;
}

FolderTreeWalk::Node TfmBrowsePath::FindChild(Node parent, std::string_view text) {
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(static_cast<HTREEITEM>(parent))));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)))) {
        wchar_t buffer[MAX_PATH + 1] = {};
        TVITEMW info{};
        info.mask = TVIF_TEXT;
        info.hItem = item;
        info.pszText = buffer;
        info.cchTextMax = MAX_PATH + 1;
        if (SendMessageW(tree_, TVM_GETITEMW, 0, LPARAM(&info)) && Narrow(buffer) == text)
            return item;
    }
    return nullptr;
}

void TfmBrowsePath::ExpandAndSelect(Node node) {
    auto item = static_cast<HTREEITEM>(node);
    LoadSubFolders(item);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, LPARAM(item));
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, LPARAM(item));
}

bool TfmBrowsePath::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != tree_) return false;
    switch (header.code) {
        case TVN_ITEMEXPANDINGW: {
            auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
            if (change.action & TVE_EXPAND) LoadSubFolders(change.itemNew.hItem);
            result = FALSE;
            return true;
        }
        case TVN_GETDISPINFOW: {
            auto& display = reinterpret_cast<NMTVDISPINFOW&>(header);
            if (display.item.mask & TVIF_CHILDREN) {
                const std::string* path = PathOf(display.item.hItem);
                display.item.cChildren = path && HasSubFolder(*path) ? 1 : 0;
                display.item.mask |= TVIF_DI_SETITEM;  // asked once per node
            }
            return true;
        }
        case NM_RCLICK: {
            // A right click selects the folder under the mouse.
            TVHITTESTINFO hit{};
            GetCursorPos(&hit.pt);
            ScreenToClient(tree_, &hit.pt);
            auto item =
                reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_HITTEST, 0, LPARAM(&hit)));
            if (item && (hit.flags & TVHT_ONITEM))
                SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, LPARAM(item));
            ShellTreeViewClick();
            result = TRUE;
            return true;
        }
        case NM_CLICK:
            ShellTreeViewClick();
            return true;
        case TVN_SELCHANGEDW: {
            // Choosing with the keys counts as a click; the start-folder walk does not.
            auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
            if (change.action == TVC_BYKEYBOARD || change.action == TVC_BYMOUSE)
                ShellTreeViewClick();
            return true;
        }
        default:
            return false;
    }
}

void TfmBrowsePath::ShellTreeViewClick() {
    EnableWindow(GetDlgItem(hwnd_, IDOK), TRUE);
}

void TfmBrowsePath::buOKClick() {
    // Enter reaches the default button even while it is disabled.
    if (!IsWindowEnabled(GetDlgItem(hwnd_, IDOK))) return;
    auto selected =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    const std::string* path = PathOf(selected);
    if (!path) return;
    chosen_ = *path;
    EndDialog(hwnd_, IDOK);
}

std::string BrowseForFolder(HWND owner, HINSTANCE resources, Registry& registry, FileSystem& fs,
                            std::string_view root, std::string_view start) {
    ComScope com;  // the shell's names and pictures
    TfmBrowsePath form(registry, fs);
    if (!form.ShowModal(owner, resources, root, start)) return std::string(start);
    return form.ChosenPath();
}

}  // namespace lark
