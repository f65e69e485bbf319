#include "base/date_time.h"

#include <cmath>

namespace lark {

static bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

// Days from 0001-01-01 to the given date (proleptic Gregorian).
static int64_t DayNumber(int y, int m, int d) {
    int64_t yy = y - 1;
    int64_t n = yy * 365 + yy / 4 - yy / 100 + yy / 400;
    for (int i = 1; i < m; ++i) n += DaysInMonth(y, i);
    return n + d - 1;
}

static const int64_t kEpochDay = DayNumber(1899, 12, 30);

double EncodeDate(int year, int month, int day) {
    return double(DayNumber(year, month, day) - kEpochDay);
}

double EncodeDateTime(const CivilDateTime& t) {
    double time = (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) /
                  86400000.0;
    double date = EncodeDate(t.year, t.month, t.day);
    // Before the epoch the fraction still counts forward within the day.
    return date >= 0 ? date + time : date - time;
}

CivilDateTime DecodeDateTime(double dateTime) {
    CivilDateTime out;
    double whole = std::trunc(dateTime);
    double frac = std::fabs(dateTime - whole);
    int64_t ms = std::llround(frac * 86400000.0);
    int64_t dayNo = int64_t(whole) + kEpochDay;
    if (ms >= 86400000) {
        ms -= 86400000;
        dayNo += 1;
    }
    // Civil date from a day number (days since 0001-01-01).
    int64_t n = dayNo;
    int y400 = int(n / 146097);
    n %= 146097;
    int y100 = int(n / 36524);
    if (y100 == 4) y100 = 3;
    n -= int64_t(y100) * 36524;
    int y4 = int(n / 1461);
    n %= 1461;
    int y1 = int(n / 365);
    if (y1 == 4) y1 = 3;
    n -= int64_t(y1) * 365;
    out.year = y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1;
    out.month = 1;
    while (n >= DaysInMonth(out.year, out.month)) {
        n -= DaysInMonth(out.year, out.month);
        ++out.month;
    }
    out.day = int(n) + 1;
    out.hour = int(ms / 3600000);
    out.minute = int(ms / 60000 % 60);
    out.second = int(ms / 1000 % 60);
    out.millisecond = int(ms % 1000);
    return out;
}

double FileTimeToDateTime(int64_t fileTime) {
    // 1601-01-01 lies 109205 days before 1899-12-30.
    return double(fileTime) / 864000000000.0 - 109205.0;
}

bool CutToPackedStamp(int64_t localFileTime, double& dateTime) {
    if (localFileTime <= 0) return false;
    int64_t seconds = localFileTime / 10000000;
    int64_t days = seconds / 86400;
    int64_t secOfDay = seconds % 86400;
    CivilDateTime t = DecodeDateTime(double(days) - 109205.0);
    if (t.year < 1980 || t.year > 2107) return false;
    t.hour = int(secOfDay / 3600);
    t.minute = int(secOfDay / 60 % 60);
    t.second = int(secOfDay % 60) & ~1;
    t.millisecond = 0;
    dateTime = EncodeDateTime(t);
    return true;
}

int64_t DateTimeSteps(double dateTime) { return std::llround(dateTime * 10000.0); }

}  // namespace lark
