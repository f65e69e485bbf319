#pragma once
#include <cstdint>

namespace lark {

class Clock {
public:
    virtual ~Clock() = default;
    // Local date-time: days since 1899-12-30, the fraction is the time of day.
    virtual double Now() = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like GetTickCount.
    virtual uint32_t TickCount() = 0;
    // The current moment as file times are kept: 100 ns ticks since 1601-01-01, UTC. A clock
    // that knows no time zone gives its local time.
    virtual int64_t FileTimeNow() {
        constexpr double kDaysFrom1601To1899 = 109205;
        return int64_t((Now() + kDaysFrom1601To1899) * 864000000000.0);
    }
};

}  // namespace lark
