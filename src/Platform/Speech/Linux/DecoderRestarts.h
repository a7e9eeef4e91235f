#pragma once

#include <chrono>

namespace vorela {

// When a decoder that died is started again. The first death of a run restarts it at once;
// each further death soon after its start waits twice as long as the one before, and a
// death past the last restart gives it up until the next run. A decoder that ran long
// enough before dying was healthy: the count starts over.
class DecoderRestarts {
public:
    using Clock = std::chrono::steady_clock;

    // The restarts after quick deaths: at once, then after 0.5, 1 and 2 s.
    static constexpr int kMaxRestarts = 4;
    static constexpr double kFirstBackoffSeconds = 0.5;
    static constexpr double kHealthySeconds = 30;

    // A new run: every restart is available again, the first at once.
    void reset(Clock::time_point now);
    // A decoder process started.
    void started(Clock::time_point now) { startedAt_ = now; }
    // The decoder died: true when it is to be started again (at restartAt()), false when it
    // is given up.
    bool died(Clock::time_point now);

    bool hasGivenUp() const { return hasGivenUp_; }
    // Deaths soon after a start, in a row.
    int quickDeaths() const { return quickDeaths_; }
    // No new decoder before this.
    Clock::time_point restartAt() const { return restartAt_; }

private:
    int quickDeaths_ = 0;
    bool hasGivenUp_ = false;
    Clock::time_point startedAt_;
    Clock::time_point restartAt_;
};

}  // namespace vorela
