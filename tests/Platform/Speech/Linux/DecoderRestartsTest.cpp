#include <gtest/gtest.h>

#include "Platform/Speech/Linux/DecoderRestarts.h"

namespace vorela {
namespace {

using Clock = DecoderRestarts::Clock;

Clock::time_point at(double seconds) {
    return Clock::time_point{} +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

double secondsOf(Clock::time_point t) {
    return std::chrono::duration<double>(t - Clock::time_point{}).count();
}

TEST(DecoderRestartsTest, QuickDeathsWaitLongerEachTimeThenGiveUpUntilTheNextRun) {
    DecoderRestarts restarts;
    restarts.reset(at(0));
    // Each decoder dies one second after it starts, and is started once it may be.
    double now = 0;
    const double expectedWaits[] = {0, 0.5, 1, 2};
    for (const double wait : expectedWaits) {
        SCOPED_TRACE(wait);
        restarts.started(at(now));
        now += 1;
        ASSERT_TRUE(restarts.died(at(now)));
        EXPECT_NEAR(secondsOf(restarts.restartAt()) - now, wait, 1e-6);
        now = secondsOf(restarts.restartAt());
    }
    restarts.started(at(now));
    EXPECT_FALSE(restarts.died(at(now + 1)));
    EXPECT_TRUE(restarts.hasGivenUp());
    EXPECT_EQ(restarts.quickDeaths(), 5);

    restarts.reset(at(now + 10));
    EXPECT_FALSE(restarts.hasGivenUp());
    restarts.started(at(now + 10));
    ASSERT_TRUE(restarts.died(at(now + 11)));
    EXPECT_EQ(restarts.restartAt(), at(now + 11)) << "a new run restarts at once again";
}

TEST(DecoderRestartsTest, ADecoderThatRanLongEnoughStartsTheCountOver) {
    DecoderRestarts restarts;
    restarts.reset(at(0));
    restarts.started(at(0));
    ASSERT_TRUE(restarts.died(at(1)));
    restarts.started(at(1));
    ASSERT_TRUE(restarts.died(at(2)));
    EXPECT_EQ(restarts.quickDeaths(), 2);

    restarts.started(at(3));
    ASSERT_TRUE(restarts.died(at(3 + DecoderRestarts::kHealthySeconds)));
    EXPECT_EQ(restarts.quickDeaths(), 1);
    EXPECT_EQ(restarts.restartAt(), at(3 + DecoderRestarts::kHealthySeconds));
}

}  // namespace
}  // namespace vorela
