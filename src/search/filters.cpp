#include "search/filters.h"

#include <cmath>

#include "base/date_time.h"
#include "base/text.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "search/criteria.h"

namespace lark {

int64_t PeriodToDays(std::string_view countText, int32_t unit) {
    const int64_t n = TextToInt(countText);
    switch (unit) {
        case 0:
            return n;
        case 1:
            return 7 * n;
        case 2:
            return (365 * n) / 12;  // integer division truncates toward zero, as wanted
        case 3:
            return 365 * n;
        default:
            return 0;
    }
}

int64_t SizeThreshold(std::string_view countText, int32_t unit) {
    if (unit < 0 || unit > 3) return 0;
    return int64_t(TextToInt(countText)) * (int64_t(1) << (10 * unit));
}

DateSizeFilter::DateSizeFilter(FileSystem& fs, Clock& clock, const SearchCriteria& criteria)
    : fs_(fs), c_(criteria) {
    active_ = c_.DateMode != DateFilterMode::None || c_.SizeMode != SizeFilterMode::None;
    if (!active_) return;
    today_ = std::floor(clock.Now());
    days_ = PeriodToDays(c_.LastXUnits, c_.PeriodUnits);
    larger_ = SizeThreshold(c_.LargerThan, c_.LargerUnits);
    smaller_ = SizeThreshold(c_.SmallerThan, c_.SmallerUnits);
    from_ = SizeThreshold(c_.SizeFrom, c_.BetweenUnits);
    to_ = SizeThreshold(c_.SizeTo, c_.BetweenUnits);
}

bool DateSizeFilter::Passes(std::string_view path) const {
    if (!active_) return true;
    // One attribute query gives both the time and the 64-bit length, whatever the access
    // rights of the file.
    auto info = fs_.Stat(path);
    double t = 0;
    const bool haveTime = info && !info->IsFolder() && CutToPackedStamp(info->writeTimeLocal, t);
    switch (c_.DateMode) {
        case DateFilterMode::None:
            break;
        case DateFilterMode::Recent:
            if (!haveTime || !(today_ - t < double(days_))) return false;
            break;
        case DateFilterMode::Range:
            if (!haveTime || t < c_.DateFrom || t > c_.DateTo) return false;
            break;
    }
    if (c_.SizeMode == SizeFilterMode::None) return true;
    if (!haveTime) return false;
    const int64_t size = int64_t(info->size);
    switch (c_.SizeMode) {
        case SizeFilterMode::Larger:
            return size > larger_;
        case SizeFilterMode::Smaller:
            return size < smaller_;
        case SizeFilterMode::Between:
            return size < to_ && size > from_;
        case SizeFilterMode::None:
            break;
    }
    return true;
}

bool PassesDateAndSize(FileSystem& fs, Clock& clock, const SearchCriteria& criteria,
                       std::string_view path) {
    return DateSizeFilter(fs, clock, criteria).Passes(path);
}

}  // namespace lark
