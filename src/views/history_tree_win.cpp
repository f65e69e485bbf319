#include "views/history_tree_win.h"

#include "base/date_time.h"
#include "platform/win32/encoding_win.h"
#include "views/view_catalogue.h"

namespace lark {

std::string LocaleDayCaption(int32_t day) {
    CivilDateTime date = DecodeDateTime(double(day));
    SYSTEMTIME st{};
    st.wYear = WORD(date.year);
    st.wMonth = WORD(date.month);
    st.wDay = WORD(date.day);
    wchar_t text[128] = {};
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, L"dddd, MMM d", text, 128, nullptr))
        return EnglishDayCaption(day);
    return Narrow(text);
}

void FillHistoryTree(HWND tree, const std::vector<HistoryNode>& nodes) {
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    std::vector<HTREEITEM> inserted;
    inserted.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const HistoryNode& node = nodes[i];
        std::wstring text = Widen(node.caption);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = node.parent >= 0 && size_t(node.parent) < inserted.size()
                             ? inserted[size_t(node.parent)]
                             : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.pszText = text.data();
        insert.item.iImage = kImageDateGroup;
        insert.item.iSelectedImage = kImageDateGroup;
        insert.item.lParam = LPARAM(i);
        inserted.push_back(reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
    }
}

std::vector<size_t> HistoryNodeIndexes(HWND tree, const std::vector<HTREEITEM>& items) {
    std::vector<size_t> indexes;
    for (HTREEITEM item : items) {
        TVITEMW info = {};
        info.mask = TVIF_PARAM;
        info.hItem = item;
        if (SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info)))
            indexes.push_back(size_t(info.lParam));
    }
    return indexes;
}

}  // namespace lark
