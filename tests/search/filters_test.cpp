#include "search/filters.h"

#include <gtest/gtest.h>

#include "base/date_time.h"
#include "platform/fake/fake_platform.h"
#include "search/criteria.h"

namespace lark {
namespace {

int64_t LocalTicks(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    // FILETIME ticks count from 1601-01-01, which lies 109205 days before day 0.
    int64_t days = int64_t(EncodeDate(y, mo, d)) + 109205;
    return ((days * 86400 + h * 3600 + mi * 60 + s) * 1000 + 400) * 10000;  // 0.4 s past
}

TEST(PeriodToDays, Units) {
    struct Case {
        const char* count;
        int32_t unit;
        int64_t days;
    } cases[] = {
        {"1", 0, 1},
        {"2", 1, 14},
        {"1", 2, 30},
        {"2", 2, 60},
        {"3", 2, 91},
        {"6", 2, 182},
        {"12", 2, 365},
        {"1", 3, 365},
        {"x", 0, 0},
        {"5", 4, 0},
        {"5", -1, 0},
        {"-3", 2, -91},  // truncated toward zero
        {"2147483647", 1, int64_t(2147483647) * 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PeriodToDays(c.count, c.unit), c.days) << c.count << " unit " << c.unit;
}

TEST(SizeThreshold, Units) {
    EXPECT_EQ(SizeThreshold("4", 3), int64_t(4294967296));
    EXPECT_EQ(SizeThreshold("2147483647", 3), int64_t(2147483647) << 30);
    EXPECT_EQ(SizeThreshold("1", 1), 1024);
    EXPECT_EQ(SizeThreshold("3", 2), 3 * 1048576);
    EXPECT_EQ(SizeThreshold("7", 0), 7);
    EXPECT_EQ(SizeThreshold("1.5", 1), 0);
    EXPECT_EQ(SizeThreshold("2", 4), 0);
    EXPECT_EQ(SizeThreshold("2", -1), 0);
    EXPECT_EQ(SizeThreshold("-2", 1), -2048);
}

struct FilterCase {
    const char* name;
    DateFilterMode date;
    SizeFilterMode size;
    const char* count;  // LastXUnits or the size texts
    int32_t unit;
    const char* path;
    bool passes;
};

TEST(PassesDateAndSize, DateAndSizeRules) {
    FakeFileSystem fs;
    FakeClock clock;
    clock.now = EncodeDateTime({2024, 3, 10, 15, 30, 0, 0});
    fs.AddFile("C:\\d\\yesterday0000.txt", "x").writeTimeLocal = LocalTicks(2024, 3, 9);
    fs.AddFile("C:\\d\\yesterday0001.txt", "x").writeTimeLocal = LocalTicks(2024, 3, 9, 0, 0, 1);
    fs.AddFile("C:\\d\\yesterday0002.txt", "x").writeTimeLocal = LocalTicks(2024, 3, 9, 0, 0, 2);
    fs.AddFile("C:\\d\\today0002.txt", "x").writeTimeLocal = LocalTicks(2024, 3, 10, 0, 0, 2);
    fs.AddFile("C:\\d\\future.txt", "x").writeTimeLocal = LocalTicks(2030, 1, 1);
    fs.AddFile("C:\\d\\old1979.txt", "x").writeTimeLocal = LocalTicks(1979, 12, 31, 23, 0, 0);
    fs.AddFile("C:\\d\\y2108.txt", "x").writeTimeLocal = LocalTicks(2108, 1, 1);
    fs.AddFile("C:\\d\\mar1.txt", "x").writeTimeLocal = LocalTicks(2024, 3, 1);
    fs.AddFile("C:\\d\\mar5.txt", "x").writeTimeLocal = LocalTicks(2024, 3, 5);
    fs.AddFile("C:\\d\\mar5late.txt", "x").writeTimeLocal = LocalTicks(2024, 3, 5, 0, 0, 2);
    fs.AddFile("C:\\d\\empty.txt", "").writeTimeLocal = LocalTicks(2024, 3, 1);
    fs.AddFile("C:\\d\\k1023.txt", std::string(1023, 'x')).writeTimeLocal = LocalTicks(2024, 3, 1);
    fs.AddFile("C:\\d\\k1024.txt", std::string(1024, 'x')).writeTimeLocal = LocalTicks(2024, 3, 1);
    fs.AddFile("C:\\d\\k1025.txt", std::string(1025, 'x')).writeTimeLocal = LocalTicks(2024, 3, 1);
    fs.AddFolder("C:\\d\\sub");

    using D = DateFilterMode;
    using S = SizeFilterMode;
    const FilterCase cases[] = {
        {"no filter, missing file", D::None, S::None, "1", 0, "C:\\d\\missing.txt", true},
        {"no filter, folder", D::None, S::None, "1", 0, "C:\\d\\sub", true},
        {"1 day, midnight yesterday", D::Recent, S::None, "1", 0, "C:\\d\\yesterday0000.txt",
         false},
        {"1 day, cut to 2 s", D::Recent, S::None, "1", 0, "C:\\d\\yesterday0001.txt", false},
        {"1 day, just after", D::Recent, S::None, "1", 0, "C:\\d\\yesterday0002.txt", true},
        {"0 days, today", D::Recent, S::None, "0", 0, "C:\\d\\today0002.txt", true},
        {"0 days, yesterday", D::Recent, S::None, "0", 0, "C:\\d\\yesterday0002.txt", false},
        {"future always", D::Recent, S::None, "0", 0, "C:\\d\\future.txt", true},
        {"unit unselected", D::Recent, S::None, "5", -1, "C:\\d\\yesterday0002.txt", false},
        {"before 1980", D::Recent, S::None, "1000", 3, "C:\\d\\old1979.txt", false},
        {"after 2107", D::Recent, S::None, "1000", 3, "C:\\d\\y2108.txt", false},
        {"recent folder", D::Recent, S::None, "1000", 3, "C:\\d\\sub", false},
        {"recent missing", D::Recent, S::None, "1000", 3, "C:\\d\\missing.txt", false},
        {"range lower bound", D::Range, S::None, "", 0, "C:\\d\\mar1.txt", true},
        {"range upper bound", D::Range, S::None, "", 0, "C:\\d\\mar5.txt", true},
        {"range past bound", D::Range, S::None, "", 0, "C:\\d\\mar5late.txt", false},
        {"range before", D::Range, S::None, "", 0, "C:\\d\\yesterday0000.txt", false},
        {"larger 0 bytes, empty", D::None, S::Larger, "0", 0, "C:\\d\\empty.txt", false},
        {"larger 0 bytes, one", D::None, S::Larger, "0", 0, "C:\\d\\mar1.txt", true},
        {"larger 1 kb", D::None, S::Larger, "1", 1, "C:\\d\\k1024.txt", false},
        {"larger 1 kb, 1025", D::None, S::Larger, "1", 1, "C:\\d\\k1025.txt", true},
        {"larger, unit unselected", D::None, S::Larger, "5", -1, "C:\\d\\mar1.txt", true},
        {"smaller 1 kb", D::None, S::Smaller, "1", 1, "C:\\d\\k1023.txt", true},
        {"smaller 1 kb, 1024", D::None, S::Smaller, "1", 1, "C:\\d\\k1024.txt", false},
        {"between 1 and 1 kb", D::None, S::Between, "1", 1, "C:\\d\\k1024.txt", false},
        {"size on, folder", D::None, S::Larger, "0", 0, "C:\\d\\sub", false},
        {"size on, missing", D::None, S::Smaller, "9", 3, "C:\\d\\missing.txt", false},
        {"size on, time out of range", D::None, S::Smaller, "9", 3, "C:\\d\\old1979.txt", false},
        {"date fails first", D::Recent, S::Larger, "1", 0, "C:\\d\\k1025.txt", false},
    };
    for (const auto& c : cases) {
        SearchCriteria criteria;
        criteria.DateMode = c.date;
        criteria.SizeMode = c.size;
        criteria.LastXUnits = c.count;
        criteria.PeriodUnits = c.unit;
        criteria.LargerThan = criteria.SmallerThan = criteria.SizeFrom = criteria.SizeTo = c.count;
        criteria.LargerUnits = criteria.SmallerUnits = criteria.BetweenUnits = c.unit;
        criteria.DateFrom = EncodeDate(2024, 3, 1);
        criteria.DateTo = EncodeDate(2024, 3, 5);
        EXPECT_EQ(PassesDateAndSize(fs, clock, criteria, c.path), c.passes) << c.name;
    }
}

TEST(PassesDateAndSize, BetweenBoundsAreExclusiveAndUseOneUnit) {
    FakeFileSystem fs;
    FakeClock clock;
    SearchCriteria c;
    c.SizeMode = SizeFilterMode::Between;
    c.SizeFrom = std::string(1, '2');
    c.SizeTo = std::string(1, '4');
    c.BetweenUnits = 0;
    std::string got;
    for (int size = 1; size <= 5; ++size) {
        std::string path = "C:\\f" + std::to_string(size);
        fs.AddFile(path, std::string(size, 'x')).writeTimeLocal = LocalTicks(2020, 1, 1);
        got += PassesDateAndSize(fs, clock, c, path) ? '1' : '0';
    }
    EXPECT_EQ(got, "00100");
}

}  // namespace
}  // namespace lark
