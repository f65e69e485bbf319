#pragma once
// The owner-data list control that shows FileListItems: it answers the control's
// requests for row texts, icons, type-ahead and colours, and reports what the user does
// with the rows through callbacks.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/win32/handles_win.h"
#include "views/file_list.h"

namespace lark {

// The user's locale for the list's cells and name ordering.
FileListLocale Win32FileListLocale();
// The list style bits of a display style (large icons, small icons, list, details).
DWORD ListStyleBits(int style);
// The text colour of a row's name; the sub-item cells use the window-text colour.
COLORREF RowTextColour(uint32_t attributes);

class FileListView {
  public:
    struct Callbacks {
        std::function<void(const std::string&)> selectionChanged;  // writes the open box
        std::function<void()> rename;                              // F2
        std::function<void()> deleteSelected;                      // Delete
        std::function<void(POINT screen)> contextMenu;             // at the cursor
        std::function<void()> open;                                // double click
        std::function<bool()> labelEditAllowed;                    // false refuses the edit
        // The end of an in-place edit of a row's name; no text when it was cancelled.
        std::function<void(int row, const std::optional<std::string>& text)> labelEdited;
    };

    FileListView(HWND list, FileListItems& items, const FileListLocale& locale);
    FileListView(const FileListView&) = delete;
    FileListView& operator=(const FileListView&) = delete;

    HWND Handle() const { return list_; }
    Callbacks callbacks;
    // Set when an in-place rename begins; the rename handler clears it when it ends.
    bool labelEditing = false;

    // Adds the six columns of the details style.
    void AddColumns();
    // Gives the list the shell's system image lists (shared, never destroyed by it).
    void AttachSystemImageLists();
    void ApplyViewStyle(int style);
    int DisplayStyle() const;
    // Tells the control how many rows there are (0 removes them all).
    void SetRowCount(size_t count);
    void Repaint();
    // Icons and type names of rows first..last, fetched once per row.
    void FetchItemDetails(int first, int last);
    // The full paths of the selected rows in list order, joined by ";".
    std::string SelectedPaths() const;
    // The first selected row in list order, -1 when none is.
    int FirstSelectedRow() const;
    // Starts in-place editing of the row's name.
    void EditLabel(int row);
    // Sorts by a column as a header click does.
    void ColumnClick(int column);

    // WM_NOTIFY from the list control; true when handled, with the result to return.
    bool HandleNotify(const NMHDR* header, LRESULT& result);
    // WM_CONTEXTMENU sent for the list control (mouse or keyboard).
    bool HandleContextMenu(HWND from);

  private:
    void RowData(NMLVDISPINFOW& info);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    HFONT StrikeOutFont();

    HWND list_;
    FileListItems& items_;
    const FileListLocale& locale_;
    std::wstring cellText_;  // lives until the control has copied the text
    UniqueGdiObject strikeFont_;
    HFONT strikeFontBase_ = nullptr;
};

}  // namespace lark
