#include "views/file_list.h"

#include <gtest/gtest.h>

#include "base/date_time.h"
#include "platform/file_system.h"

namespace lark {
namespace {

TEST(FileListCells, SizeModifiedAndAttributes) {
    FileListLocale german = DefaultFileListLocale();
    german.thousandsSeparator = std::string(1, '.');
    german.shortDate = [](int y, int m, int d) { return FormatDatePicture("dd.MM.yy", y, m, d); };
    const auto& us = DefaultFileListLocale();

    struct SizeCase {
        uint64_t bytes;
        const char* us;
        const char* german;
    } sizes[] = {{0, "", ""},
                 {500, "", ""},
                 {1536, "1KB", "1KB"},
                 {2097152, "2,048KB", "2.048KB"},
                 {1023ull * 1024 * 1024 * 1024, "1,072,693,248KB", "1.072.693.248KB"}};
    for (const auto& c : sizes) {
        EXPECT_EQ(SizeCellText(int32_t(c.bytes / 1024), us), c.us) << c.bytes;
        EXPECT_EQ(SizeCellText(int32_t(c.bytes / 1024), german), c.german) << c.bytes;
    }
    EXPECT_EQ(SizeCellText(-5, us), "");

    struct TimeCase {
        CivilDateTime t;
        const char* us;
        const char* german;
    } times[] = {
        {{2024, 3, 5, 0, 7, 0}, "3/5/2024 12:07 am", "05.03.24 12:07 am"},
        {{2024, 12, 25, 12, 0, 59}, "12/25/2024 12:00 pm", "25.12.24 12:00 pm"},
        {{1999, 1, 9, 23, 59, 0}, "1/9/1999 11:59 pm", "09.01.99 11:59 pm"},
        {{2003, 7, 8, 9, 5, 0}, "7/8/2003 9:05 am", "08.07.03 9:05 am"},
    };
    for (const auto& c : times) {
        EXPECT_EQ(ModifiedCellText(EncodeDateTime(c.t), us), c.us);
        EXPECT_EQ(ModifiedCellText(EncodeDateTime(c.t), german), c.german);
    }
    // No time recorded, or less than one step of 8.64 seconds away from it.
    EXPECT_EQ(ModifiedCellText(0, us), "");
    EXPECT_EQ(ModifiedCellText(0.00004, us), "");
    EXPECT_EQ(FormatDatePicture("yyyy'-x-'M", 2024, 3, 5), "2024-x-3");

    EXPECT_EQ(AttributesCellText(kAttrReadOnly | kAttrArchive), "RA");
    EXPECT_EQ(AttributesCellText(kAttrArchive | kAttrSystem | kAttrHidden | kAttrReadOnly |
                                 kAttrDirectory),
              "RHSA");
    EXPECT_EQ(AttributesCellText(kAttrNormal), "");
}

TEST(FileListCells, FriendlyFolderPath) {
    struct Case {
        const char* folder;
        const char* shown;
    } cases[] = {
        {"c:\\documents and settings\\all users\\documents\\forms", "Shared Documents\\forms"},
        {"C:\\Documents and Settings\\bob\\My Documents\\Letters", "bob's Documents\\Letters"},
        {"c:\\documents and settings\\bob\\desktop", "c:\\documents and settings\\bob\\desktop"},
        {"C:\\Documents and Settings\\Mary Jo\\My Documents", "Mary Jo's Documents"},
        {"C:\\DOCUMENTS AND SETTINGS\\All Users\\Documents",
         "C:\\DOCUMENTS AND SETTINGS\\All Users\\Documents"},
        {"C:\\Documents and Settings\\All Users\\Documents\\", "Shared Documents\\"},
        {"D:\\Documents and Settings\\bob\\My Documents",
         "D:\\Documents and Settings\\bob\\My Documents"},
        {"C:\\Documents and Settings\\bob\\My Documents2\\x",
         "C:\\Documents and Settings\\bob\\My Documents2\\x"},
        {"C:\\Documents and Settings", "C:\\Documents and Settings"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FriendlyFolderPath(c.folder), c.shown) << c.folder;
}

TEST(FileListCells, SameTimeStampComparesWholeSteps) {
    double t = 45000.5;
    double step = 1.0 / 10000;
    struct Case {
        double y;
        bool equal, unequal, less, lessOrEqual;
    } cases[] = {
        {t, true, false, false, true},
        {t + step * 0.4, true, false, false, true},
        {t + step, false, true, true, true},
        {t - step, false, true, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameTimeStamp(0, t, c.y), c.equal);
        EXPECT_EQ(SameTimeStamp(1, t, c.y), c.unequal);
        EXPECT_EQ(SameTimeStamp(2, t, c.y), c.less);
        EXPECT_EQ(SameTimeStamp(3, t, c.y), c.lessOrEqual);
    }
}

FileListItem Row(const char* name, int32_t kb, const char* type, double modified, uint32_t attrs,
                 const char* folder) {
    FileListItem item;
    item.Name = name;
    item.SizeKB = kb;
    item.TypeName = type;
    item.Modified = modified;
    item.Attributes = attrs;
    item.Folder = folder;
    return item;
}

std::string Names(const FileListItems& items) {
    std::string out;
    for (size_t i = 0; i < items.Count(); ++i) out += items.ItemAt(i).Name.substr(0, 1);
    return out;
}

TEST(FileListSort, EveryColumnBothWays) {
    FileListItems items;
    // Each column orders the rows differently; "u" has no time and sorts as the oldest.
    items.Add(Row("beta", 30, "Text", 45000.0, kAttrArchive, "C:\\m"));
    items.Add(Row("Alpha", 10, "zip", 45002.0, kAttrReadOnly, "c:\\Z"));
    items.Add(Row("delta", 20, "Bitmap", 45001.0, kAttrHidden | kAttrArchive, "C:\\a"));
    items.Add(Row("under", 5, "image", 0, 0, "c:\\k"));
    struct Case {
        int column;
        const char* ascending;
    } cases[] = {{kColName, "Abdu"},     {kColSize, "uAdb"},       {kColType, "dubA"},
                 {kColModified, "ubdA"}, {kColAttributes, "uAbd"}, {kColPath, "dubA"}};
    const auto& locale = DefaultFileListLocale();
    for (const auto& c : cases) {
        items.ColumnClick(c.column, locale);
        EXPECT_TRUE(items.SortAscending);
        EXPECT_EQ(Names(items), c.ascending) << c.column;
        items.ColumnClick(c.column, locale);
        EXPECT_FALSE(items.SortAscending);
        std::string asc = c.ascending;
        EXPECT_EQ(Names(items), std::string(asc.rbegin(), asc.rend())) << c.column;
    }
}

TEST(FileListFind, TypeAheadFromStartWithWrapAround) {
    FileListItems items;
    for (const char* n : {"apple.txt", "Banana.doc", "cherry.doc", "banjo.mp3", "Zebra.txt"})
        items.Add(Row(n, 0, "", 0, 0, "C:\\f"));
    struct Case {
        const char* text;
        int start;
        bool wrap;
        int found;
    } cases[] = {
        {"ban", 0, true, 1},   {"BAN", 2, true, 3},   {"ban", 4, true, 1},
        {"ban", 4, false, -1}, {"zeb", 0, false, 4},  {"Zebra.txt", 3, true, 4},
        {"x", 0, true, -1},    {"apple", 9, true, 0}, {"", 2, true, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(items.FindByPrefix(c.text, c.start, c.wrap), c.found) << c.text << c.start;
    EXPECT_EQ(FileListItems().FindByPrefix("a", 0, true), -1);
}

TEST(FileListSelection, PathsOfSelectedRowsJoined) {
    FileListItems items;
    items.Add(Row("a.doc", 0, "", 0, 0, "C:\\x"));
    items.Add(Row("b.do", 0, "", 0, 0, "C:\\x"));
    items.Add(Row("b.doc", 0, "", 0, 0, "C:\\x"));
    items.Add(Row("c.txt", 0, "", 0, 0, "D:"));
    auto walk = [](std::vector<int> order) {
        return [order](int from) {
            if (from < 0) return order.empty() ? -1 : order[0];
            for (size_t i = 0; i + 1 < order.size(); ++i)
                if (order[i] == from) return order[i + 1];
            return -1;
        };
    };
    EXPECT_EQ(SelectedPaths(items, walk({0, 2, 3})), "C:\\x\\a.doc;C:\\x\\b.doc;D:\\c.txt");
    // One path being part of another does not end the collection.
    EXPECT_EQ(SelectedPaths(items, walk({2, 1})), "C:\\x\\b.doc;C:\\x\\b.do");
    EXPECT_EQ(SelectedPaths(items, walk({})), "");
    // A search for the next selected row that comes round again stops there.
    EXPECT_EQ(SelectedPaths(items, [](int from) { return from < 0 ? 3 : (from == 3 ? 0 : 3); }),
              "D:\\c.txt;C:\\x\\a.doc");
}

}  // namespace
}  // namespace lark
