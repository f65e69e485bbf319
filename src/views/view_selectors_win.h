#pragma once
// The View selector (a drop-down with pictures and indents), the hidden catalogue and the
// Views tree, filled from the catalogue data.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "views/view_catalogue.h"

namespace lark {

void FillViewSelector(HWND comboEx, const std::vector<ViewEntry>& entries);
void FillCatalogue(HWND combo, const std::vector<std::string>& names);
// Selects the entry whose text is exactly text (letter case counts); none when absent.
void SelectComboText(HWND combo, std::string_view text);
std::string ComboText(HWND combo, int index);

struct SelectorChoice {
    std::string text;
    int indent = 0;
};
// The entry currently chosen in the View selector; empty text when none.
SelectorChoice CurrentSelectorChoice(HWND comboEx);

void FillViewsTree(HWND tree, const std::vector<ViewTreeNode>& nodes);
struct TreeChoice {
    std::string text;
    std::string parentText;  // empty for a top-level node
};
TreeChoice TreeChoiceOf(HWND tree, HTREEITEM item);
// TVN_ITEMEXPANDED: a group node shows the open or closed group picture.
void ViewsTreeItemExpanded(HWND tree, const NMTREEVIEWW& change);

}  // namespace lark
