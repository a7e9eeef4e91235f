#pragma once

#include <memory>

#include "Platform/Loop/RunLoop.h"
#include "Platform/Updates/Updater.h"

namespace vorela {

// An updater on the run loop's clock: while automatic checks are on it checks once per
// interval, counting scheduled and user-started checks apart.
class FakeUpdater final : public Updater {
public:
    // The framework's own default before the program sets one: one day.
    static constexpr double kDefaultInterval = 86400;

    explicit FakeUpdater(RunLoop& loop) : loop_(loop) { reschedule(); }

    void setAutomaticallyChecksForUpdates(bool on) override {
        automaticChecks_ = on;
        reschedule();
    }
    void setUpdateCheckInterval(double seconds) override {
        interval_ = seconds;
        reschedule();
    }
    bool canCheckForUpdates() const override { return canCheck_; }
    void checkForUpdates() override {
        if (canCheck_) ++userChecks_;
    }

    // --- test controls ---
    bool automaticallyChecksForUpdates() const { return automaticChecks_; }
    double updateCheckInterval() const { return interval_; }
    int scheduledCheckCount() const { return scheduledChecks_; }
    int userCheckCount() const { return userChecks_; }
    // As while a check is already running.
    void setCanCheckForUpdates(bool can) { canCheck_ = can; }

private:
    void reschedule() {
        timer_.cancel();
        if (automaticChecks_)
            timer_ = loop_.scheduleRepeating(interval_, [this] { ++scheduledChecks_; });
    }

    RunLoop& loop_;
    bool automaticChecks_ = true;
    double interval_ = kDefaultInterval;
    bool canCheck_ = true;
    int scheduledChecks_ = 0;
    int userChecks_ = 0;
    TimerHandle timer_;
};

// Hands out FakeUpdaters and keeps a pointer to the last one for the test.
class FakeUpdateFramework final : public UpdateFramework {
public:
    explicit FakeUpdateFramework(RunLoop& loop) : loop_(loop) {}

    std::unique_ptr<Updater> startUpdater() override {
        ++startCount_;
        auto updater = std::make_unique<FakeUpdater>(loop_);
        last_ = updater.get();
        return updater;
    }

    // --- test controls ---
    int startCount() const { return startCount_; }
    // The updater most recently started; dangling once its owner released it.
    FakeUpdater* lastUpdater() const { return last_; }

private:
    RunLoop& loop_;
    int startCount_ = 0;
    FakeUpdater* last_ = nullptr;
};

}  // namespace vorela
