#pragma once
// The date tree of History mode in the side panel's tree control.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <string>
#include <vector>

#include "views/history.h"

namespace lark {

// "dddd, mmm d" with the user's day and month names.
std::string LocaleDayCaption(int32_t day);

// Replaces the tree's nodes by the date tree, groups collapsed; each node carries its index
// in nodes.
void FillHistoryTree(HWND tree, const std::vector<HistoryNode>& nodes);
// The indexes carried by the given nodes, in the same order.
std::vector<size_t> HistoryNodeIndexes(HWND tree, const std::vector<HTREEITEM>& items);

}  // namespace lark
