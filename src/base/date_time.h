#pragma once
// Date-times are days since 1899-12-30 with the time of day as the fraction, local time.
#include <cstdint>

namespace lark {

struct CivilDateTime {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsValidDate(int year, int month, int day);
// 28 to 31; February has 29 days in leap years.
int DaysInMonth(int year, int month);
// Days since 1899-12-30 at 00:00; the date must be valid.
double EncodeDate(int year, int month, int day);
double EncodeDateTime(const CivilDateTime& t);
CivilDateTime DecodeDateTime(double dateTime);
// FILETIME ticks (100 ns since 1601-01-01) to a date-time, no time-zone change.
double FileTimeToDateTime(int64_t fileTime);
// The two-second, 1980-2107 resolution of a packed date-and-time stamp; false when the
// time lies outside that range.
bool CutToPackedStamp(int64_t localFileTime, double& dateTime);
// Rounds to the 1/10000-day steps used when comparing list times.
int64_t DateTimeSteps(double dateTime);

}  // namespace lark
