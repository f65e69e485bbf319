#pragma once
// History by date: the tree of day groups counted back from today, and the day flags that
// narrow whatever view is shown to the files last changed on the chosen days.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lark {

inline constexpr int kHistoryDayCount = 100;
// Flag d set: files last modified d calendar days before today are listed.
using HistoryDayFlags = std::array<bool, kHistoryDayCount>;

// The whole-day part of a date-time (days since 1899-12-30).
int32_t DayNumber(double dateTime);

// The days a node of the date tree stands for. A day node keeps its own date, so what it
// selects never depends on how its caption was written.
struct HistorySpan {
    enum Kind { DaysBack, ThisMonth, LastMonth, Date };
    Kind kind = DaysBack;
    int first = 0;  // DaysBack: the first and last day counted back from today
    int last = 0;
    int32_t day = 0;  // Date: its day number
};

// One node of the date tree, in the order the tree shows them; parent is the index of the
// group node it belongs to, -1 for a group.
struct HistoryNode {
    std::string caption;
    HistorySpan span;
    int parent = -1;
};

// The caption of a day node, "dddd, mmm d" in the user's language ("Monday, Dec 1").
using DayCaption = std::function<std::string(int32_t day)>;
// The same with English names, for a system that offers none.
std::string EnglishDayCaption(int32_t day);

// "This week" (today, yesterday and the five days before), "Last week" and "Week before
// last" with their seven days each, then "This Month" and "Last Month".
std::vector<HistoryNode> BuildHistoryTree(double now, const DayCaption& caption);

// Clears the flags, then sets those of every selected node; several nodes give the union.
void ComputeHistoryDays(HistoryDayFlags& days, double now,
                        const std::vector<HistorySpan>& selected);

// Whether a file modified at that time is listed: its day lies 0 to 99 days before today and
// is flagged. A file with no time (0) or dated after today never is.
bool InHistorySelection(const HistoryDayFlags& days, int32_t today, double modified);

}  // namespace lark
