#include "views/file_list.h"

#include <algorithm>

#include "base/date_time.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace lark {

static int CompareIgnoringCase(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(AsciiLower(a[i]));
        unsigned char cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

const FileListLocale& DefaultFileListLocale() {
    static const FileListLocale locale = [] {
        FileListLocale l;
        l.shortDate = [](int y, int m, int d) { return FormatDatePicture("M/d/yyyy", y, m, d); };
        l.compareText = CompareIgnoringCase;
        return l;
    }();
    return locale;
}

static std::string TwoDigits(int n) {
    return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10);
}

std::string FormatDatePicture(std::string_view picture, int year, int month, int day) {
    std::string out;
    size_t i = 0;
    while (i < picture.size()) {
        char c = picture[i];
        if (c == '\'') {
            size_t end = picture.find('\'', i + 1);
            if (end == std::string_view::npos) end = picture.size();
            out += picture.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        switch (c) {
            case 'd':
                out += run >= 2 ? TwoDigits(day) : std::to_string(day);
                break;
            case 'M':
                out += run >= 2 ? TwoDigits(month) : std::to_string(month);
                break;
            case 'y':
                if (run <= 2)
                    out += run == 2 ? TwoDigits(year % 100) : std::to_string(year % 100);
                else
                    out += std::to_string(year);
                break;
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

bool SameTimeStamp(int kind, double x, double y) {
    int64_t a = DateTimeSteps(x);
    int64_t b = DateTimeSteps(y);
    switch (kind) {
        case 0:
            return a == b;
        case 1:
            return a != b;
        case 2:
            return a < b;
        case 3:
            return a <= b;
        default:
            return false;
    }
}

std::string SizeCellText(int32_t sizeKB, const FileListLocale& locale) {
    if (sizeKB <= 0) return std::string();
    std::string digits = std::to_string(sizeKB);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += locale.thousandsSeparator;
        out += digits[i];
    }
    return out + "KB";
}

std::string ModifiedCellText(double modified, const FileListLocale& locale) {
    if (DateTimeSteps(modified) == 0) return std::string();
    CivilDateTime t = DecodeDateTime(modified);
    std::string date = locale.shortDate ? locale.shortDate(t.year, t.month, t.day)
                                        : FormatDatePicture("M/d/yyyy", t.year, t.month, t.day);
    int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    return date + " " + std::to_string(hour12) + ":" + TwoDigits(t.minute) +
           (t.hour < 12 ? " am" : " pm");
}

std::string AttributesCellText(uint32_t attributes) {
    std::string out;
    if (attributes & kAttrReadOnly) out += 'R';
    if (attributes & kAttrHidden) out += 'H';
    if (attributes & kAttrSystem) out += 'S';
    if (attributes & kAttrArchive) out += 'A';
    return out;
}

std::string FriendlyFolderPath(std::string_view folder) {
    static constexpr std::string_view kProfiles = "c:\\documents and settings\\";
    static constexpr std::string_view kShared = "all users\\documents\\";
    static constexpr std::string_view kMyDocuments = "\\my documents\\";
    if (LowerCase(folder.substr(0, kProfiles.size())) != kProfiles) return std::string(folder);
    std::string_view rest = folder.substr(kProfiles.size());
    if (LowerCase(rest.substr(0, kShared.size())) == kShared)
        return "Shared Documents" + std::string(rest.substr(kShared.size() - 1));
    size_t at = LowerCase(std::string(rest) + "\\").find(kMyDocuments);
    if (at == std::string::npos) return std::string(folder);
    size_t after = std::min(rest.size(), at + kMyDocuments.size() - 1);
    return std::string(rest.substr(0, at)) + "'s Documents" + std::string(rest.substr(after));
}

std::string CellText(const FileListItem& item, int column, const FileListLocale& locale) {
    switch (column) {
        case kColName:
            return item.Name;
        case kColSize:
            return SizeCellText(item.SizeKB, locale);
        case kColType:
            return item.TypeName;
        case kColModified:
            return ModifiedCellText(item.Modified, locale);
        case kColAttributes:
            return AttributesCellText(item.Attributes);
        case kColPath:
            return FriendlyFolderPath(item.Folder);
        default:
            return std::string();
    }
}

RowInk RowInkFor(uint32_t attributes) {
    if (attributes & kAttrSystem) return RowInk::Highlight;
    if (attributes & kAttrReadOnly) return RowInk::Grey;
    return RowInk::Normal;
}

static int Sign(int64_t v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int FileListItems::CompareFileListItems(const FileListItem& a, const FileListItem& b,
                                        const FileListLocale& locale) const {
    const FileListItem& x = SortAscending ? a : b;
    const FileListItem& y = SortAscending ? b : a;
    auto text = [&](std::string_view l, std::string_view r) {
        return locale.compareText ? locale.compareText(l, r) : CompareIgnoringCase(l, r);
    };
    switch (SortColumn) {
        case kColName:
            return text(x.Name, y.Name);
        case kColSize:
            return Sign(int64_t(x.SizeKB) - y.SizeKB);
        case kColType:
            return text(x.TypeName, y.TypeName);
        case kColModified:
            return Sign(DateTimeSteps(x.Modified) - DateTimeSteps(y.Modified));
        case kColAttributes:
            return Sign(int64_t(int32_t(x.Attributes)) - int64_t(int32_t(y.Attributes)));
        case kColPath:
            return text(x.Folder, y.Folder);
        default:
            return 0;
    }
}

void FileListItems::Sort(const FileListLocale& locale) {
    // Sorting a permutation and moving each row once keeps a view of many thousand rows
    // from shuffling whole records around; the numeric columns sort on plain keys.
    size_t n = items_.size();
    std::vector<uint32_t> order(n);
    auto numericKey = [&](const FileListItem& item) -> int64_t {
        switch (SortColumn) {
            case kColSize:
                return item.SizeKB;
            case kColModified:
                return DateTimeSteps(item.Modified);
            case kColAttributes:
                return int32_t(item.Attributes);
            default:
                return 0;
        }
    };
    if (SortColumn == kColSize || SortColumn == kColModified || SortColumn == kColAttributes) {
        std::vector<std::pair<int64_t, uint32_t>> keys(n);
        for (size_t i = 0; i < n; ++i) keys[i] = {numericKey(items_[i]), uint32_t(i)};
        if (SortAscending)
            std::sort(keys.begin(), keys.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
        else
            std::sort(keys.begin(), keys.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
        for (size_t i = 0; i < n; ++i) order[i] = keys[i].second;
    } else {
        for (size_t i = 0; i < n; ++i) order[i] = uint32_t(i);
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return CompareFileListItems(items_[a], items_[b], locale) < 0;
        });
    }
    std::vector<FileListItem> sorted;
    sorted.reserve(n);
    for (uint32_t i : order) sorted.push_back(std::move(items_[i]));
    items_.swap(sorted);
}

void FileListItems::ColumnClick(int column, const FileListLocale& locale) {
    if (column == SortColumn) {
        SortAscending = !SortAscending;
    } else {
        SortColumn = column;
        SortAscending = true;
    }
    Sort(locale);
}

int FileListItems::FindByPrefix(std::string_view text, int start, bool wrap) const {
    int count = int(items_.size());
    if (count == 0) return -1;
    if (start < 0 || start >= count) start = 0;
    auto matches = [&](int i) { return StartsWithIgnoringCase(items_[size_t(i)].Name, text); };
    for (int i = start; i < count; ++i)
        if (matches(i)) return i;
    if (wrap)
        for (int i = 0; i < start; ++i)
            if (matches(i)) return i;
    return -1;
}

std::string SelectedPaths(const FileListItems& items, const std::function<int(int)>& nextSelected) {
    std::string text;
    std::vector<bool> taken(items.Count(), false);
    for (int i = nextSelected(-1); i >= 0 && size_t(i) < items.Count(); i = nextSelected(i)) {
        if (taken[size_t(i)]) break;
        taken[size_t(i)] = true;
        if (!text.empty()) text += ';';
        text += items.ItemAt(size_t(i)).Path();
    }
    return text;
}

}  // namespace lark
