#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Platform/Loop/Fake/ManualRunLoop.h"

namespace vorela {
namespace {

using namespace std::chrono_literals;

class ManualRunLoopTest : public ::testing::Test {
protected:
    ManualRunLoop loop_;
    std::vector<std::string> fired_;
};

TEST_F(ManualRunLoopTest, TimersFireInTimeOrderWithTheClockAtTheirDueTime) {
    std::vector<double> times;
    auto late =
        loop_.schedule(0.3, [&] { fired_.push_back("late"), times.push_back(loop_.uptime()); });
    auto early =
        loop_.schedule(0.1, [&] { fired_.push_back("early"), times.push_back(loop_.uptime()); });
    auto tieA = loop_.schedule(0.2, [&] { fired_.push_back("tieA"); });
    auto tieB = loop_.schedule(0.2, [&] { fired_.push_back("tieB"); });

    loop_.advanceBy(999ms);

    EXPECT_EQ(fired_, (std::vector<std::string>{"early", "tieA", "tieB", "late"}));
    ASSERT_EQ(times.size(), 2u);
    EXPECT_DOUBLE_EQ(times[0], ManualClock::kStartUptime + 0.1);
    EXPECT_DOUBLE_EQ(times[1], ManualClock::kStartUptime + 0.3);
    EXPECT_DOUBLE_EQ(loop_.uptime(), ManualClock::kStartUptime + 0.999);
}

TEST_F(ManualRunLoopTest, TimerDoesNotFireBeforeItsDelay) {
    bool fired = false;
    auto t = loop_.schedule(1.0, [&] { fired = true; });
    loop_.advanceBy(999ms);
    EXPECT_FALSE(fired);
    EXPECT_NEAR(*loop_.nextTaskDelay(), 0.001, 1e-9);
    loop_.advanceBy(1ms);
    EXPECT_TRUE(fired);
    EXPECT_FALSE(loop_.nextTaskDelay().has_value());
}

TEST_F(ManualRunLoopTest, CancelledOrDestroyedTimersNeverFire) {
    bool cancelled = false, destroyed = false, cancelledByOther = false;
    auto a = loop_.schedule(0.1, [&] { cancelled = true; });
    a.cancel();
    {
        auto b = loop_.schedule(0.1, [&] { destroyed = true; });
    }
    TimerHandle c;
    auto d = loop_.schedule(0.05, [&] { c.cancel(); });
    c = loop_.schedule(0.1, [&] { cancelledByOther = true; });

    loop_.advanceBy(1s);

    EXPECT_FALSE(cancelled);
    EXPECT_FALSE(destroyed);
    EXPECT_FALSE(cancelledByOther);
    EXPECT_EQ(loop_.pendingTaskCount(), 0u);
}

TEST_F(ManualRunLoopTest, RepeatingTimerFiresEachIntervalUntilCancelled) {
    int count = 0;
    TimerHandle t = loop_.scheduleRepeating(0.25, [&] {
        if (++count == 3) t.cancel();
    });
    loop_.advanceBy(2s);
    EXPECT_EQ(count, 3);
}

TEST_F(ManualRunLoopTest, TimerScheduledFromATimerRunsInTheSameAdvanceWhenDue) {
    TimerHandle inner;
    auto outer = loop_.schedule(0.1, [&] {
        fired_.push_back("outer");
        inner = loop_.schedule(0.1, [&] { fired_.push_back("inner"); });
    });
    loop_.advanceBy(0.2);
    EXPECT_EQ(fired_, (std::vector<std::string>{"outer", "inner"}));
}

TEST_F(ManualRunLoopTest, PostFromOtherThreadsRunsOnTheMainThreadInOrder) {
    std::vector<int> seen;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            EXPECT_FALSE(loop_.isMainThread());
            for (int i = 0; i < 100; ++i) loop_.post([&, t, i] { seen.push_back(t * 1000 + i); });
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(loop_.pendingTaskCount(), 400u);
    loop_.runUntilIdle();
    ASSERT_EQ(seen.size(), 400u);
    // Each producer's tasks keep their order.
    for (int t = 0; t < 4; ++t) {
        int last = -1;
        for (int v : seen) {
            if (v / 1000 != t) continue;
            EXPECT_GT(v % 1000, last);
            last = v % 1000;
        }
    }
    EXPECT_TRUE(loop_.isMainThread());
}

TEST_F(ManualRunLoopTest, HandleOutlivingTheLoopIsHarmless) {
    TimerHandle survivor;
    {
        ManualRunLoop inner;
        survivor = inner.schedule(1, [] {});
    }
    survivor.cancel();
    SUCCEED();
}

}  // namespace
}  // namespace vorela
