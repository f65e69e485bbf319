#pragma once
// Several selected nodes in a tree view control, which by itself keeps one: while it is
// switched on, a click selects one node, Ctrl+click adds or removes a node, Shift+click
// (and Shift with the arrow keys) selects the shown nodes from the last plain or Ctrl click
// to this one. Selected nodes carry TVIS_SELECTED; the parent learns of each change by a
// TVN_SELCHANGEDW notification once the selection is complete.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <vector>

namespace lark {

class MultiSelectTree {
  public:
    // Attaches to the tree for as long as the tree lives (or until this object goes).
    explicit MultiSelectTree(HWND tree);
    ~MultiSelectTree();
    MultiSelectTree(const MultiSelectTree&) = delete;
    MultiSelectTree& operator=(const MultiSelectTree&) = delete;

    // Switched off, the tree is left to its own single selection: only its caret node stays
    // selected.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    // True while the tree moves its caret on the way to a new selection: the notifications
    // it sends meanwhile do not tell the final selection.
    bool Moving() const { return moving_ > 0; }

    // Every node of the tree, shown or not, in tree order.
    std::vector<HTREEITEM> AllItems() const;
    std::vector<HTREEITEM> SelectedItems() const;

    // NM_CUSTOMDRAW from the tree, while switched on: every selected node is drawn
    // highlighted (the control itself highlights only its caret node).
    LRESULT CustomDraw(NMTVCUSTOMDRAW& draw) const;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Click(HTREEITEM item, bool ctrl, bool shift);
    LRESULT KeyDown(UINT msg, WPARAM wParam, LPARAM lParam);
    std::vector<HTREEITEM> ShownItems() const;
    std::vector<HTREEITEM> RangeTo(HTREEITEM item) const;
    HTREEITEM Caret() const;
    void MoveCaret(HTREEITEM item);
    void Apply(const std::vector<HTREEITEM>& chosen);
    void NotifyParent(HTREEITEM item);

    HWND tree_;
    bool enabled_ = false;
    int moving_ = 0;
    HTREEITEM anchor_ = nullptr;
};

}  // namespace lark
