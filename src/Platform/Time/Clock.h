#pragma once

#include "Platform/Time/Date.h"

namespace vorela {

// Time as the core sees it. uptime() is monotonic seconds since boot (every timestamp
// of voice tracking and matching uses it); now() is the wall clock. Both are safe to
// call from any thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double uptime() const = 0;
    virtual Date now() const = 0;
};

// The real clocks: CLOCK_MONOTONIC and the system clock.
class SystemClock final : public Clock {
public:
    double uptime() const override;
    Date now() const override;
    static SystemClock& shared();
};

}  // namespace vorela
