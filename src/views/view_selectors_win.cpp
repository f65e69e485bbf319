#include "views/view_selectors_win.h"

#include "platform/win32/encoding_win.h"

namespace lark {

void FillViewSelector(HWND comboEx, const std::vector<ViewEntry>& entries) {
    SendMessageW(comboEx, CB_RESETCONTENT, 0, 0);
    int index = 0;
    for (const auto& e : entries) {
        std::wstring text = Widen(e.text);
        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
        item.iItem = index++;
        item.pszText = text.data();
        item.iImage = e.image;
        item.iSelectedImage = e.image;
        item.iIndent = e.indent;
        SendMessageW(comboEx, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void FillCatalogue(HWND combo, const std::vector<std::string>& names) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& name : names) {
        std::wstring text = Widen(name);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

std::string ComboText(HWND combo, int index) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length == CB_ERR) return std::string();
    std::wstring text(size_t(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(size_t(length));
    return Narrow(text);
}

void SelectComboText(HWND combo, std::string_view text) {
    // The control's own search ignores letter case; view names are compared exactly.
    int count = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    int found = -1;
    for (int i = 0; i < count && found < 0; ++i)
        if (ComboText(combo, i) == text) found = i;
    SendMessageW(combo, CB_SETCURSEL, WPARAM(found), 0);
}

SelectorChoice CurrentSelectorChoice(HWND comboEx) {
    SelectorChoice choice;
    int index = int(SendMessageW(comboEx, CB_GETCURSEL, 0, 0));
    if (index < 0) return choice;
    wchar_t text[260] = {};
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT | CBEIF_INDENT;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 260;
    if (!SendMessageW(comboEx, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return choice;
    choice.text = Narrow(text);
    choice.indent = item.iIndent;
    return choice;
}

static HTREEITEM InsertNode(HWND tree, HTREEITEM parent, const ViewTreeNode& node) {
    std::wstring text = Widen(node.text);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = text.data();
    insert.item.iImage = node.image;
    insert.item.iSelectedImage = node.image;
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    for (const auto& child : node.children) InsertNode(tree, item, child);
    if (node.expanded) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    return item;
}

void FillViewsTree(HWND tree, const std::vector<ViewTreeNode>& nodes) {
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    for (const auto& node : nodes) InsertNode(tree, TVI_ROOT, node);
}

static std::string NodeText(HWND tree, HTREEITEM item) {
    wchar_t text[260] = {};
    TVITEMW info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = 260;
    if (!item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info)))
        return std::string();
    return Narrow(text);
}

TreeChoice TreeChoiceOf(HWND tree, HTREEITEM item) {
    TreeChoice choice;
    choice.text = NodeText(tree, item);
    auto parent = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    if (parent) choice.parentText = NodeText(tree, parent);
    return choice;
}

void ViewsTreeItemExpanded(HWND tree, const NMTREEVIEWW& change) {
    int image = -1;
    if (change.action & TVE_EXPAND) image = kImageGroupOpen;
    if (change.action & TVE_COLLAPSE) image = kImageGroupClosed;
    if (image < 0) return;
    TVITEMW info = {};
    info.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    info.hItem = change.itemNew.hItem;
    info.iImage = image;
    info.iSelectedImage = image;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace lark
