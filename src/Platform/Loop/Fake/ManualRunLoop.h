#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Loop/RunLoop.h"
#include "Platform/Time/Fake/ManualClock.h"

namespace vorela {

// A deterministic run loop on a virtual clock. The thread that constructs it is the
// main thread. Posted tasks and timers run only inside runUntilIdle()/advanceBy();
// timers fire in time order (ties in scheduling order) with the clock set to their
// due time.
class ManualRunLoop final : public RunLoop {
public:
    ManualRunLoop();
    ~ManualRunLoop() override;
    ManualRunLoop(const ManualRunLoop&) = delete;
    ManualRunLoop& operator=(const ManualRunLoop&) = delete;
    ManualRunLoop(ManualRunLoop&&) = delete;
    ManualRunLoop& operator=(ManualRunLoop&&) = delete;

    bool isMainThread() const override;
    void post(Task task) override;
    [[nodiscard]] TimerHandle schedule(double delaySeconds, Task task) override;
    [[nodiscard]] TimerHandle scheduleRepeating(double intervalSeconds, Task task) override;
    const Clock& clock() const override { return clock_; }

    // --- test controls ---
    ManualClock& manualClock() { return clock_; }
    // Runs posted tasks and timers due now, until nothing is left to run now.
    void runUntilIdle();
    // Moves the clock forward, firing every timer that falls due on the way.
    void advanceBy(double seconds);
    template <class Rep, class Period>
    void advanceBy(std::chrono::duration<Rep, Period> d) {
        advanceBy(std::chrono::duration<double>(d).count());
    }
    // Posted tasks not yet run plus timers scheduled.
    std::size_t pendingTaskCount() const;
    // Seconds until the next timer is due, if any timer is scheduled.
    std::optional<double> nextTaskDelay() const;

private:
    struct Timer {
        double due = 0;
        double interval = 0;         // 0 for one-shot timers
        std::uint64_t sequence = 0;  // orders timers due at the same time
        Task task;
    };
    using TimerKey = std::pair<double, std::uint64_t>;  // due time, sequence

    TimerHandle add(double delay, double interval, Task task);
    bool runOnePosted();
    bool runOneDueTimer(double limit);
    void cancelTimer(std::uint64_t id);

    ManualClock clock_;
    std::thread::id mainThread_ = std::this_thread::get_id();
    mutable std::mutex postedMutex_;
    std::deque<Task> posted_;
    std::map<TimerKey, std::uint64_t> queue_;  // ordered by due time, then sequence
    std::map<std::uint64_t, Timer> timers_;    // by id
    std::uint64_t nextSequence_ = 0;
    LifetimeGuard guard_;  // last
};

}  // namespace vorela
