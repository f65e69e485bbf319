#pragma once
// The date and size filters a matching index entry must pass.
#include <cstdint>
#include <string_view>

namespace lark {

class Clock;
class FileSystem;
struct SearchCriteria;

// "In the last" count in days: 0 Days, 1 Weeks, 2 Months (365/12 days each, truncated),
// 3 Years (365 days); any other unit gives 0. 64-bit so large counts cannot wrap.
int64_t PeriodToDays(std::string_view countText, int32_t unit);
// Count times 1024^unit (0 Bytes .. 3 Gb); any other unit gives 0.
int64_t SizeThreshold(std::string_view countText, int32_t unit);

// The filters of one search, with "today" and the thresholds worked out once.
class DateSizeFilter {
  public:
    DateSizeFilter(FileSystem& fs, Clock& clock, const SearchCriteria& criteria);
    // False when no filter is on: then Passes never touches the file system.
    bool Active() const { return active_; }
    bool Passes(std::string_view path) const;

  private:
    FileSystem& fs_;
    const SearchCriteria& c_;
    bool active_ = false;
    double today_ = 0;
    int64_t days_ = 0;
    int64_t larger_ = 0, smaller_ = 0, from_ = 0, to_ = 0;
};

bool PassesDateAndSize(FileSystem& fs, Clock& clock, const SearchCriteria& criteria,
                       std::string_view path);

}  // namespace lark
