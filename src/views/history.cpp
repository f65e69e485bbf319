#include "views/history.h"

#include <cmath>

#include "base/date_time.h"

namespace lark {

namespace {

constexpr int kDaysPerWeek = 7;

HistoryNode Group(const char* caption, int first, int last) {
    return {caption, {HistorySpan::DaysBack, first, last, 0}, -1};
}

void SetDays(HistoryDayFlags& days, int first, int last) {
    for (int d = first; d <= last; ++d)
        if (d >= 0 && d < kHistoryDayCount) days[size_t(d)] = true;
}

}  // namespace

int32_t DayNumber(double dateTime) {
    return int32_t(std::trunc(dateTime));
}

std::string EnglishDayCaption(int32_t day) {
    static const char* const kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    CivilDateTime date = DecodeDateTime(double(day));
    // Day 0, 30 December 1899, was a Saturday.
    int weekday = int(((int64_t(day) + 6) % 7 + 7) % 7);
    return std::string(kDayNames[weekday]) + ", " + kMonths[date.month - 1] + " " +
           std::to_string(date.day);
}

std::vector<HistoryNode> BuildHistoryTree(double now, const DayCaption& caption) {
    const int32_t today = DayNumber(now);
    std::vector<HistoryNode> nodes;
    const char* const kWeeks[] = {"This week", "Last week", "Week before last"};
    for (int week = 0; week < 3; ++week) {
        const int first = week * kDaysPerWeek;
        const int group = int(nodes.size());
        nodes.push_back(Group(kWeeks[week], first, first + kDaysPerWeek - 1));
        for (int back = first; back < first + kDaysPerWeek; ++back) {
            HistoryNode day;
            day.caption = back == 0 ? "Today" : back == 1 ? "Yesterday" : caption(today - back);
            day.span = {HistorySpan::Date, 0, 0, today - back};
            day.parent = group;
            nodes.push_back(std::move(day));
        }
    }
    nodes.push_back({"This Month", {HistorySpan::ThisMonth}, -1});
    nodes.push_back({"Last Month", {HistorySpan::LastMonth}, -1});
    return nodes;
}

void ComputeHistoryDays(HistoryDayFlags& days, double now,
                        const std::vector<HistorySpan>& selected) {
    days.fill(false);
    const int32_t today = DayNumber(now);
    const CivilDateTime date = DecodeDateTime(double(today));
    for (const HistorySpan& span : selected) {
        switch (span.kind) {
            case HistorySpan::DaysBack:
                SetDays(days, span.first, span.last);
                break;
            case HistorySpan::ThisMonth:
                SetDays(days, 0, date.day - 1);
                break;
            case HistorySpan::LastMonth: {
                // The last day of the previous month lies as many days back as today's day
                // of the month; its length is counted, leap years included.
                const int year = date.month == 1 ? date.year - 1 : date.year;
                const int month = date.month == 1 ? 12 : date.month - 1;
                SetDays(days, date.day, date.day + DaysInMonth(year, month) - 1);
                break;
            }
            case HistorySpan::Date:
                SetDays(days, today - span.day, today - span.day);
                break;
        }
    }
}

bool InHistorySelection(const HistoryDayFlags& days, int32_t today, double modified) {
    const int64_t d = int64_t(today) - DayNumber(modified);
    return d >= 0 && d < kHistoryDayCount && days[size_t(d)];
}

}  // namespace lark
