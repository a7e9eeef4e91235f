#pragma once

#include <mutex>
#include <optional>

namespace vorela {

// Rate limit of the meter publication, called on the audio tap thread: a change of the
// speaking flag fires at once, a steady flag at most once per interval.
class Throttle {
public:
    static constexpr double kInterval = 0.05;  // seconds: 20 meter updates a second at most

    Throttle() = default;
    ~Throttle() = default;
    Throttle(const Throttle&) = delete;
    Throttle& operator=(const Throttle&) = delete;
    Throttle(Throttle&&) = delete;
    Throttle& operator=(Throttle&&) = delete;

    // `force` carries the current speaking flag; `at` is system uptime in seconds.
    bool shouldFire(bool force, double at);

private:
    std::mutex lock_;
    double last_ = 0;
    std::optional<bool> lastFlag_;
};

}  // namespace vorela
