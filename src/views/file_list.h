#pragma once
// The rows of the file list: the record behind each row, their order, the texts of their
// cells and type-ahead search. The list control itself lives in file_list_win.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace lark {

// Display styles of the list, as kept in the "ViewStyle" option.
inline constexpr int kStyleLargeIcons = 0;
inline constexpr int kStyleSmallIcons = 1;
inline constexpr int kStyleList = 2;
inline constexpr int kStyleDetails = 3;

enum FileListColumn { kColName, kColSize, kColType, kColModified, kColAttributes, kColPath };
inline constexpr int kFileListColumnCount = 6;

struct FileListItem {
    // The shell's identifier of the file, fetched when first needed; its deleter gives it
    // back to the shell's allocator.
    std::shared_ptr<void> ItemId;
    bool DetailsPending = true;
    std::string Name;
    std::string TypeName;
    int32_t IconIndex = 0;
    int32_t SizeKB = 0;
    uint32_t Attributes = 0;
    double Modified = 0;  // 0: no time recorded
    std::string Folder;

    std::string Path() const { return Folder + "\\" + Name; }
};

// What the cell texts and name ordering take from the user's locale. The defaults are
// those of an English (United States) system.
struct FileListLocale {
    std::string thousandsSeparator = ",";
    // Formats a calendar date the way the locale writes short dates.
    std::function<std::string(int year, int month, int day)> shortDate;
    // Orders two names ignoring letter case: negative, 0 or positive.
    std::function<int(std::string_view, std::string_view)> compareText;
};
const FileListLocale& DefaultFileListLocale();
// Formats a date by a Windows short-date picture ("M/d/yyyy", "dd.MM.yy", quoted text).
std::string FormatDatePicture(std::string_view picture, int year, int month, int day);

// Compares x and y by their 1/10000-day steps: kind 0 equal, 1 unequal, 2 less,
// 3 less or equal.
bool SameTimeStamp(int kind, double x, double y);

std::string SizeCellText(int32_t sizeKB, const FileListLocale& locale);
std::string ModifiedCellText(double modified, const FileListLocale& locale);
std::string AttributesCellText(uint32_t attributes);
// Shows a folder under a user's profile the way Explorer names it ("bob's Documents\x",
// "Shared Documents\x"); any other folder unchanged.
std::string FriendlyFolderPath(std::string_view folder);
std::string CellText(const FileListItem& item, int column, const FileListLocale& locale);

// The rows of the list, their sort order and the searches on them.
class FileListItems {
  public:
    size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    FileListItem& ItemAt(size_t i) { return items_[i]; }
    const FileListItem& ItemAt(size_t i) const { return items_[i]; }
    void Add(FileListItem&& item) { items_.push_back(std::move(item)); }
    void Add(const FileListItem& item) { items_.push_back(item); }
    void Reserve(size_t n) { items_.reserve(n); }
    // Releases every row and its shell identifier.
    void ClearFileList() { items_.clear(); }

    int SortColumn = kColModified;
    bool SortAscending = false;  // newest first

    // Negative, 0 or positive for a before b under SortColumn and SortAscending.
    int CompareFileListItems(const FileListItem& a, const FileListItem& b,
                             const FileListLocale& locale) const;
    void Sort(const FileListLocale& locale);
    // A click on a column header: the sort column flips its direction, another column
    // becomes the sort column, ascending.
    void ColumnClick(int column, const FileListLocale& locale);
    // The first row from start on (then from 0, when wrap is set) whose name begins with
    // text ignoring letter case; -1 when none.
    int FindByPrefix(std::string_view text, int start, bool wrap) const;

  private:
    std::vector<FileListItem> items_;
};

// How a row's name is drawn, from its attributes: read-only rows in the grey-text colour,
// system rows in the highlight colour (winning over grey), hidden rows struck out.
enum class RowInk { Normal, Grey, Highlight };
RowInk RowInkFor(uint32_t attributes);
inline bool RowStruckOut(uint32_t attributes) {
    return (attributes & kAttrHidden) != 0;
}

// The open-box text for a selection: the full paths of the rows that nextSelected yields
// one after the other (starting from -1, ending at -1), joined by ";". Stops when a row
// comes round again, so a control that wraps its search cannot loop.
std::string SelectedPaths(const FileListItems& items, const std::function<int(int)>& nextSelected);

}  // namespace lark
