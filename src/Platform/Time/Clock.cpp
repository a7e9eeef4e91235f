#include "Platform/Time/Clock.h"

#include <time.h>

namespace vorela {

namespace {
double secondsOf(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
}  // namespace

double SystemClock::uptime() const { return secondsOf(CLOCK_MONOTONIC); }

Date SystemClock::now() const { return Date{secondsOf(CLOCK_REALTIME)}; }

SystemClock& SystemClock::shared() {
    static SystemClock clock;
    return clock;
}

}  // namespace vorela
