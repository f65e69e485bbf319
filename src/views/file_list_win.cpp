#include "views/file_list_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/encoding_win.h"

namespace lark {

FileListLocale Win32FileListLocale() {
    FileListLocale locale = DefaultFileListLocale();
    wchar_t buffer[16] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, buffer, 16) > 0)
        locale.thousandsSeparator = Narrow(buffer);
    locale.shortDate = [](int year, int month, int day) {
        SYSTEMTIME st = {};
        st.wYear = WORD(year);
        st.wMonth = WORD(month);
        st.wDay = WORD(day);
        wchar_t text[80] = {};
        if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 80,
                            nullptr) <= 0)
            return FormatDatePicture("M/d/yyyy", year, month, day);
        return Narrow(text);
    };
    locale.compareText = [](std::string_view a, std::string_view b) {
        std::wstring wa = Widen(a), wb = Widen(b);
        int order =
            CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), int(wa.size()),
                            wb.c_str(), int(wb.size()), nullptr, nullptr, 0);
        return order == 0 ? 0 : order - CSTR_EQUAL;
    };
    return locale;
}

DWORD ListStyleBits(int style) {
    switch (style) {
        case kStyleSmallIcons:
            return LVS_SMALLICON;
        case kStyleList:
            return LVS_LIST;
        case kStyleDetails:
            return LVS_REPORT;
        default:
            return LVS_ICON;
    }
}

COLORREF RowTextColour(uint32_t attributes) {
    switch (RowInkFor(attributes)) {
        case RowInk::Grey:
            return GetSysColor(COLOR_GRAYTEXT);
        case RowInk::Highlight:
            return GetSysColor(COLOR_HIGHLIGHT);
        case RowInk::Normal:
            break;
    }
    return GetSysColor(COLOR_WINDOWTEXT);
}

FileListView::FileListView(HWND list, FileListItems& items, const FileListLocale& locale)
    : list_(list), items_(items), locale_(locale) {}

void FileListView::AddColumns() {
    struct Column {
        const wchar_t* caption;
        int width;
        int format;
    } columns[] = {{L"Name", 200, LVCFMT_LEFT},      {L"Size", 70, LVCFMT_RIGHT},
                   {L"Type", 120, LVCFMT_LEFT},      {L"Modified", 115, LVCFMT_LEFT},
                   {L"Attributes", 40, LVCFMT_LEFT}, {L"Path", 300, LVCFMT_LEFT}};
    int index = 0;
    for (const auto& c : columns) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = c.format;
        column.cx = c.width;
        column.pszText = const_cast<wchar_t*>(c.caption);
        column.iSubItem = index;
        SendMessageW(list_, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&column));
    }
}

void FileListView::AttachSystemImageLists() {
    SHFILEINFOW info = {};
    auto small = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    auto large = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
    // The system lists belong to the shell; the control must not destroy them.
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    if (small) ListView_SetImageList(list_, small, LVSIL_SMALL);
    if (large) ListView_SetImageList(list_, large, LVSIL_NORMAL);
}

void FileListView::ApplyViewStyle(int style) {
    LONG_PTR bits = GetWindowLongPtrW(list_, GWL_STYLE);
    SetWindowLongPtrW(list_, GWL_STYLE, (bits & ~LONG_PTR(LVS_TYPEMASK)) | ListStyleBits(style));
}

int FileListView::DisplayStyle() const {
    switch (GetWindowLongPtrW(list_, GWL_STYLE) & LVS_TYPEMASK) {
        case LVS_SMALLICON:
            return kStyleSmallIcons;
        case LVS_LIST:
            return kStyleList;
        case LVS_REPORT:
            return kStyleDetails;
        default:
            return kStyleLargeIcons;
    }
}

void FileListView::SetRowCount(size_t count) {
    SendMessageW(list_, LVM_SETITEMCOUNT, WPARAM(count), 0);
}

void FileListView::Repaint() {
    InvalidateRect(list_, nullptr, TRUE);
}

void FileListView::FetchItemDetails(int first, int last) {
    int count = int(items_.Count());
    if (first < 0 || last >= count || first > last) return;
    UINT iconSize = DisplayStyle() == kStyleLargeIcons ? SHGFI_LARGEICON : SHGFI_SMALLICON;
    for (int i = first; i <= last; ++i) {
        FileListItem& item = items_.ItemAt(size_t(i));
        if (!item.DetailsPending) continue;
        item.DetailsPending = false;
        if (!item.ItemId) {
            PIDLIST_ABSOLUTE pidl = nullptr;
            std::wstring path = Widen(item.Path());
            if (SUCCEEDED(SHParseDisplayName(path.c_str(), nullptr, &pidl, 0, nullptr)) && pidl)
                item.ItemId.reset(pidl, [](void* p) { CoTaskMemFree(p); });
        }
        // A path the shell cannot parse keeps its row, only without icon and type.
        item.IconIndex = -1;
        if (!item.ItemId) continue;
        SHFILEINFOW info = {};
        if (!SHGetFileInfoW(static_cast<LPCWSTR>(item.ItemId.get()), 0, &info, sizeof info,
                            SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_TYPENAME | iconSize))
            continue;
        item.IconIndex = info.iIcon;
        std::string type = Narrow(info.szTypeName);
        if (type.compare(0, 10, "Microsoft ") == 0) type.erase(0, 10);
        item.TypeName = type;
    }
}

std::string FileListView::SelectedPaths() const {
    // List order in every style: the search "below" of the icon styles would skip the
    // selected rows beside the first one.
    return lark::SelectedPaths(items_, [this](int from) {
        return int(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(from), LVNI_SELECTED));
    });
}

int FileListView::FirstSelectedRow() const {
    return int(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void FileListView::EditLabel(int row) {
    SetFocus(list_);
    SendMessageW(list_, LVM_EDITLABELW, WPARAM(row), 0);
}

void FileListView::ColumnClick(int column) {
    items_.ColumnClick(column, locale_);
    Repaint();
}

void FileListView::RowData(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (item.iItem < 0 || size_t(item.iItem) >= items_.Count()) return;
    const FileListItem& row = items_.ItemAt(size_t(item.iItem));
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = row.IconIndex;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        if (item.iSubItem == 0)
            cellText_ = Widen(row.Name);
        else if (DisplayStyle() == kStyleDetails)
            cellText_ = Widen(CellText(row, item.iSubItem, locale_));
        else
            cellText_.clear();
        size_t n = std::min(cellText_.size(), size_t(item.cchTextMax - 1));
        cellText_.copy(item.pszText, n);
        item.pszText[n] = L'\0';
    }
}

HFONT FileListView::StrikeOutFont() {
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
    if (!strikeFont_ || base != strikeFontBase_) {
        LOGFONTW font = {};
        GetObjectW(base ? static_cast<HGDIOBJ>(base) : GetStockObject(DEFAULT_GUI_FONT),
                   sizeof font, &font);
        font.lfStrikeOut = TRUE;
        strikeFont_.Reset(CreateFontIndirectW(&font));
        strikeFontBase_ = base;
    }
    return static_cast<HFONT>(strikeFont_.Get());
}

LRESULT FileListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            size_t row = size_t(draw.nmcd.dwItemSpec);
            if (row >= items_.Count()) return CDRF_DODEFAULT;
            uint32_t attributes = items_.ItemAt(row).Attributes;
            bool subItem = (draw.nmcd.dwDrawStage & CDDS_SUBITEM) && draw.iSubItem > 0;
            if (subItem) {
                draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
            } else {
                draw.clrText = RowTextColour(attributes);
                if (RowStruckOut(attributes)) SelectObject(draw.nmcd.hdc, StrikeOutFont());
            }
            LRESULT result = CDRF_NEWFONT;
            if (!(draw.nmcd.dwDrawStage & CDDS_SUBITEM)) result |= CDRF_NOTIFYSUBITEMDRAW;
            return result;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

bool FileListView::HandleNotify(const NMHDR* header, LRESULT& result) {
    if (!header || header->hwndFrom != list_) return false;
    result = 0;
    switch (header->code) {
        case LVN_GETDISPINFOW:
            RowData(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header)));
            return true;
        case LVN_ODCACHEHINT: {
            auto* hint = reinterpret_cast<const NMLVCACHEHINT*>(header);
            FetchItemDetails(hint->iFrom, hint->iTo);
            return true;
        }
        case LVN_ODFINDITEMW: {
            auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
            result = -1;
            if ((find->lvfi.flags & (LVFI_PARTIAL | LVFI_STRING)) && find->lvfi.psz)
                result = items_.FindByPrefix(Narrow(find->lvfi.psz), find->iStart,
                                             (find->lvfi.flags & LVFI_WRAP) != 0);
            return true;
        }
        case NM_CUSTOMDRAW:
            result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
            return true;
        case LVN_COLUMNCLICK:
            ColumnClick(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
            return true;
        case LVN_ITEMCHANGED: {
            auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) &&
                ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) &&
                callbacks.selectionChanged)
                callbacks.selectionChanged(SelectedPaths());
            return true;
        }
        case LVN_ODSTATECHANGED: {
            auto* change = reinterpret_cast<const NMLVODSTATECHANGE*>(header);
            if (((change->uNewState ^ change->uOldState) & LVIS_SELECTED) &&
                callbacks.selectionChanged)
                callbacks.selectionChanged(SelectedPaths());
            return true;
        }
        case LVN_BEGINLABELEDITW:
            if (callbacks.labelEditAllowed && !callbacks.labelEditAllowed()) {
                result = TRUE;
            } else {
                labelEditing = true;
            }
            return true;
        case LVN_ENDLABELEDITW: {
            // Cancelled or not, the edit is over: Enter and Esc are the window's again.
            labelEditing = false;
            const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW*>(header)->item;
            std::optional<std::string> text;
            if (item.pszText) text = Narrow(item.pszText);
            // The rows are the window's own: the control keeps no text to change.
            result = FALSE;
            if (callbacks.labelEdited) callbacks.labelEdited(item.iItem, text);
            return true;
        }
        case LVN_KEYDOWN: {
            WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
            if (key == VK_F2 && callbacks.rename) callbacks.rename();
            if (key == VK_DELETE && !labelEditing && callbacks.deleteSelected)
                callbacks.deleteSelected();
            return true;
        }
        case NM_DBLCLK:
            if (callbacks.open) callbacks.open();
            return true;
        default:
            return false;
    }
}

bool FileListView::HandleContextMenu(HWND from) {
    if (from != list_) return false;
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (callbacks.contextMenu) callbacks.contextMenu(cursor);
    return true;
}

}  // namespace lark
