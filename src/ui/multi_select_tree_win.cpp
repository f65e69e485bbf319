#include "ui/multi_select_tree_win.h"

#include <windowsx.h>

#include <algorithm>

namespace lark {

namespace {

constexpr UINT_PTR kSubclassId = 0x4D53;  // one per tree

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

bool HasState(HWND tree, HTREEITEM item, UINT state) {
    return (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), state) & state) !=
           0;
}

void Collect(HWND tree, HTREEITEM first, bool shownOnly, std::vector<HTREEITEM>& out) {
    for (HTREEITEM item = first; item; item = Next(tree, item, TVGN_NEXT)) {
        out.push_back(item);
        if (!shownOnly || HasState(tree, item, TVIS_EXPANDED))
            Collect(tree, Next(tree, item, TVGN_CHILD), shownOnly, out);
    }
}

bool IsNavigationKey(WPARAM key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
            return true;
        default:
            return false;
    }
}

}  // namespace

MultiSelectTree::MultiSelectTree(HWND tree) : tree_(tree) {
    if (tree_) SetWindowSubclass(tree_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

MultiSelectTree::~MultiSelectTree() {
    // A tree that is gone took its subclass with it.
    if (tree_ && IsWindow(tree_)) RemoveWindowSubclass(tree_, Proc, kSubclassId);
}

void MultiSelectTree::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    anchor_ = nullptr;
    if (!enabled_) {
        HTREEITEM caret = Caret();
        Apply(caret ? std::vector<HTREEITEM>{caret} : std::vector<HTREEITEM>{});
    }
    InvalidateRect(tree_, nullptr, TRUE);
}

std::vector<HTREEITEM> MultiSelectTree::AllItems() const {
    std::vector<HTREEITEM> items;
    Collect(tree_, Next(tree_, nullptr, TVGN_ROOT), false, items);
    return items;
}

std::vector<HTREEITEM> MultiSelectTree::ShownItems() const {
    std::vector<HTREEITEM> items;
    Collect(tree_, Next(tree_, nullptr, TVGN_ROOT), true, items);
    return items;
}

std::vector<HTREEITEM> MultiSelectTree::SelectedItems() const {
    std::vector<HTREEITEM> selected;
    for (HTREEITEM item : AllItems())
        if (HasState(tree_, item, TVIS_SELECTED)) selected.push_back(item);
    return selected;
}

HTREEITEM MultiSelectTree::Caret() const {
    return Next(tree_, nullptr, TVGN_CARET);
}

// The shown nodes from the anchor to item, either way round; item alone without an anchor.
std::vector<HTREEITEM> MultiSelectTree::RangeTo(HTREEITEM item) const {
    std::vector<HTREEITEM> shown = ShownItems();
    auto to = std::find(shown.begin(), shown.end(), item);
    auto from = std::find(shown.begin(), shown.end(), anchor_);
    if (to == shown.end()) return {item};
    if (from == shown.end()) return {item};
    if (from > to) std::swap(from, to);
    return std::vector<HTREEITEM>(from, to + 1);
}

void MultiSelectTree::MoveCaret(HTREEITEM item) {
    ++moving_;
    if (GetFocus() != tree_) SetFocus(tree_);
    if (Caret() != item)
        SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    --moving_;
}

void MultiSelectTree::Apply(const std::vector<HTREEITEM>& chosen) {
    for (HTREEITEM item : AllItems()) {
        const bool on = std::find(chosen.begin(), chosen.end(), item) != chosen.end();
        if (on == HasState(tree_, item, TVIS_SELECTED)) continue;
        TVITEMW change{};
        change.mask = TVIF_STATE;
        change.hItem = item;
        change.stateMask = TVIS_SELECTED;
        change.state = on ? TVIS_SELECTED : 0;
        SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
    }
    InvalidateRect(tree_, nullptr, TRUE);
}

void MultiSelectTree::NotifyParent(HTREEITEM item) {
    NMTREEVIEWW change{};
    change.hdr.hwndFrom = tree_;
    change.hdr.idFrom = UINT_PTR(GetDlgCtrlID(tree_));
    change.hdr.code = TVN_SELCHANGEDW;
    change.action = TVC_BYMOUSE;
    change.itemNew.mask = TVIF_HANDLE;
    change.itemNew.hItem = item;
    SendMessageW(GetParent(tree_), WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

void MultiSelectTree::Click(HTREEITEM item, bool ctrl, bool shift) {
    std::vector<HTREEITEM> chosen = SelectedItems();
    if (shift && anchor_) {
        std::vector<HTREEITEM> range = RangeTo(item);
        if (!ctrl) chosen.clear();
        for (HTREEITEM r : range)
            if (std::find(chosen.begin(), chosen.end(), r) == chosen.end()) chosen.push_back(r);
    } else if (ctrl) {
        auto found = std::find(chosen.begin(), chosen.end(), item);
        if (found != chosen.end())
            chosen.erase(found);
        else
            chosen.push_back(item);
        anchor_ = item;
    } else {
        chosen = {item};
        anchor_ = item;
    }
    MoveCaret(item);
    Apply(chosen);
    NotifyParent(item);
}

LRESULT MultiSelectTree::KeyDown(UINT msg, WPARAM wParam, LPARAM lParam) {
    const HTREEITEM before = Caret();
    ++moving_;
    LRESULT result = DefSubclassProc(tree_, msg, wParam, lParam);
    --moving_;
    const HTREEITEM after = Caret();
    if (!after || after == before) return result;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (shift && anchor_) {
        Apply(RangeTo(after));
    } else {
        anchor_ = after;
        Apply({after});
    }
    NotifyParent(after);
    return result;
}

LRESULT MultiSelectTree::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (enabled_) {
        switch (msg) {
            case WM_LBUTTONDOWN: {
                TVHITTESTINFO hit{};
                hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                auto item = reinterpret_cast<HTREEITEM>(
                    SendMessageW(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
                // A click beside the nodes (the expand buttons among them) stays the tree's.
                if (!item || !(hit.flags & TVHT_ONITEM)) break;
                Click(item, (wParam & MK_CONTROL) != 0, (wParam & MK_SHIFT) != 0);
                return 0;
            }
            case WM_KEYDOWN:
                if (IsNavigationKey(wParam)) return KeyDown(msg, wParam, lParam);
                break;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                // The highlight of every selected node follows the focus, not just the caret's.
                InvalidateRect(tree_, nullptr, TRUE);
                break;
            default:
                break;
        }
    }
    return DefSubclassProc(tree_, msg, wParam, lParam);
}

LRESULT CALLBACK MultiSelectTree::Proc(HWND, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    return reinterpret_cast<MultiSelectTree*>(self)->OnMessage(msg, wParam, lParam);
}

LRESULT MultiSelectTree::CustomDraw(NMTVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            auto item = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
            if (HasState(tree_, item, TVIS_SELECTED)) {
                const bool focused = GetFocus() == tree_;
                draw.clrText = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
                draw.clrTextBk = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
            } else {
                draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
                draw.clrTextBk = GetSysColor(COLOR_WINDOW);
            }
            return CDRF_DODEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

}  // namespace lark
