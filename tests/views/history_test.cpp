#include "views/history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/date_time.h"

namespace lark {
namespace {

double At(int year, int month, int day, int hour = 12, int minute = 0) {
    return EncodeDateTime({year, month, day, hour, minute, 0, 0});
}

std::vector<int> FlaggedDays(const HistoryDayFlags& days) {
    std::vector<int> out;
    for (int d = 0; d < kHistoryDayCount; ++d)
        if (days[size_t(d)]) out.push_back(d);
    return out;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> out;
    for (int d = first; d <= last; ++d) out.push_back(d);
    return out;
}

// The flags that selecting the named nodes sets, the tree built at `now`.
std::vector<int> Select(double now, const std::vector<std::string>& captions) {
    std::vector<HistoryNode> tree = BuildHistoryTree(now, EnglishDayCaption);
    std::vector<HistorySpan> spans;
    for (const std::string& caption : captions) {
        bool found = false;
        for (const HistoryNode& node : tree) {
            if (node.caption != caption) continue;
            spans.push_back(node.span);
            found = true;
        }
        EXPECT_TRUE(found) << caption;
    }
    HistoryDayFlags days;
    days.fill(true);  // whatever was selected before goes
    ComputeHistoryDays(days, now, spans);
    return FlaggedDays(days);
}

TEST(HistoryTree, GroupsAndDaysInOrderWithTheirCaptions) {
    // Wednesday 10 March 2021.
    std::vector<HistoryNode> tree = BuildHistoryTree(At(2021, 3, 10, 9, 30), EnglishDayCaption);
    std::vector<std::string> captions;
    std::vector<int> parents;
    for (const HistoryNode& node : tree) {
        captions.push_back(node.caption);
        parents.push_back(node.parent);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{
                            "This week",        "Today",
                            "Yesterday",        "Monday, Mar 8",
                            "Sunday, Mar 7",    "Saturday, Mar 6",
                            "Friday, Mar 5",    "Thursday, Mar 4",
                            "Last week",        "Wednesday, Mar 3",
                            "Tuesday, Mar 2",   "Monday, Mar 1",
                            "Sunday, Feb 28",   "Saturday, Feb 27",
                            "Friday, Feb 26",   "Thursday, Feb 25",
                            "Week before last", "Wednesday, Feb 24",
                            "Tuesday, Feb 23",  "Monday, Feb 22",
                            "Sunday, Feb 21",   "Saturday, Feb 20",
                            "Friday, Feb 19",   "Thursday, Feb 18",
                            "This Month",       "Last Month",
                        }));
    std::vector<int> expectedParents = {-1};
    for (int group : {0, 8, 16}) {
        if (group > 0) expectedParents.push_back(-1);
        expectedParents.insert(expectedParents.end(), 7, group);
    }
    expectedParents.insert(expectedParents.end(), {-1, -1});
    EXPECT_EQ(parents, expectedParents);
    EXPECT_EQ(EnglishDayCaption(DayNumber(At(2025, 12, 1))), "Monday, Dec 1");
}

TEST(HistoryDays, DateCasesWithAFixedClock) {
    struct Case {
        const char* what;
        double now;
        std::vector<std::string> selected;
        std::vector<int> days;
    };
    std::vector<int> todayAndLastWeek = Range(7, 13);
    todayAndLastWeek.insert(todayAndLastWeek.begin(), 0);
    const Case cases[] = {
        {"this week from Thursday 4 March", At(2021, 3, 10), {"This week"}, Range(0, 6)},
        {"last month: 28 to 1 February", At(2021, 3, 10), {"Last Month"}, Range(10, 37)},
        {"leap year: all 29 days of February", At(2024, 3, 10), {"Last Month"}, Range(10, 38)},
        {"last month from January: December", At(2021, 1, 5), {"Last Month"}, Range(5, 35)},
        {"last month from May: April", At(2021, 5, 31), {"Last Month"}, Range(31, 60)},
        {"28 December seen on 5 January", At(2021, 1, 5), {"Monday, Dec 28"}, {8}},
        {"today and last week together", At(2021, 3, 10), {"Today", "Last week"}, todayAndLastWeek},
        {"yesterday", At(2021, 3, 10), {"Yesterday"}, {1}},
        {"this month on the first", At(2021, 4, 1), {"This Month"}, {0}},
        {"this month on the tenth", At(2021, 3, 10), {"This Month"}, Range(0, 9)},
        {"week before last", At(2021, 3, 10), {"Week before last"}, Range(14, 20)},
        {"nothing selected", At(2021, 3, 10), {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Select(c.now, c.selected), c.days) << c.what;
}

TEST(HistoryDays, ADayNodeKeepsItsDateWhenTheDayChanges) {
    // The tree was built on Wednesday; by Thursday the node "Monday, Mar 8" is 3 days back.
    std::vector<HistoryNode> tree = BuildHistoryTree(At(2021, 3, 10, 23, 50), EnglishDayCaption);
    ASSERT_EQ(tree[3].caption, "Monday, Mar 8");
    HistoryDayFlags days{};
    ComputeHistoryDays(days, At(2021, 3, 11, 0, 10), {tree[3].span});
    EXPECT_EQ(FlaggedDays(days), std::vector<int>{3});
}

TEST(HistoryDays, OnlyFlaggedDaysUpToNinetyNineBackAreInTheSelection) {
    const int32_t today = DayNumber(At(2021, 3, 10, 0, 1));
    HistoryDayFlags days{};
    days[1] = true;
    days[99] = true;
    struct Case {
        const char* what;
        double modified;
        bool listed;
    };
    const Case cases[] = {
        {"23:59 yesterday is day 1", At(2021, 3, 9, 23, 59), true},
        {"00:00 yesterday is day 1", At(2021, 3, 9, 0, 0), true},
        {"today is not flagged", At(2021, 3, 10, 0, 0), false},
        {"day 99", double(today - 99) + 0.5, true},
        {"day 100 lies outside the table", double(today - 100) + 0.5, false},
        {"no recorded time", 0.0, false},
        {"after today", At(2021, 3, 11, 8, 0), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InHistorySelection(days, today, c.modified), c.listed) << c.what;
    // The time of day today does not matter.
    EXPECT_TRUE(
        InHistorySelection(days, DayNumber(At(2021, 3, 10, 23, 59)), At(2021, 3, 9, 23, 59)));
}

}  // namespace
}  // namespace lark
