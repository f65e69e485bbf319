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
};

}  // namespace lark
