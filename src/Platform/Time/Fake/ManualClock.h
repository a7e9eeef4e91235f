#pragma once

#include <atomic>

#include "Platform/Time/Clock.h"

namespace vorela {

// A clock that moves only when told. Starts at a non-zero uptime so code that treats
// zero as "never" is caught.
class ManualClock final : public Clock {
public:
    static constexpr double kStartUptime = 1000.0;
    static constexpr double kStartDate = 1798761600.0;  // 2027-01-01 00:00:00 UTC

    double uptime() const override { return uptime_.load(); }
    Date now() const override { return Date{kStartDate + (uptime_.load() - kStartUptime)}; }

    void advance(double seconds) { uptime_.store(uptime_.load() + seconds); }
    void setUptime(double seconds) { uptime_.store(seconds); }

private:
    std::atomic<double> uptime_{kStartUptime};
};

}  // namespace vorela
