#include "Platform/AsyncStream.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Platform/Fake/ManualRunLoop.h"

namespace vorela {
namespace {

class AsyncStreamTest : public ::testing::Test {
protected:
    ManualRunLoop loop_;
};

TEST_F(AsyncStreamTest, ElementsYieldedOnAnotherThreadArriveInOrderOnTheLoopThenFinish) {
    auto [stream, continuation] = AsyncStream<int>::make();
    std::vector<int> got;
    bool finished = false;
    auto sub = stream.forEach(loop_, [&](int v) {
        EXPECT_TRUE(loop_.isMainThread());
        got.push_back(v);
    }, [&] { finished = true; });

    std::thread producer([c = continuation] {
        for (int i = 0; i < 1000; ++i) c.yield(i);
        c.finish();
    });
    producer.join();
    EXPECT_TRUE(got.empty());  // nothing runs off the loop
    loop_.runUntilIdle();

    ASSERT_EQ(got.size(), 1000u);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(got[i], i);
    EXPECT_TRUE(finished);
    EXPECT_FALSE(continuation.yield(5));
}

TEST_F(AsyncStreamTest, ElementsYieldedBeforeTheConsumerAttachesAreKept) {
    auto [stream, continuation] = AsyncStream<std::string>::make();
    continuation.yield("a");
    continuation.yield("b");
    std::vector<std::string> got;
    auto sub = stream.forEach(loop_, [&](std::string s) { got.push_back(s); });
    loop_.runUntilIdle();
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b"}));
}

TEST_F(AsyncStreamTest, CancelledConsumerGetsNothingMoreAndYieldReportsIt) {
    auto [stream, continuation] = AsyncStream<int>::make();
    int count = 0;
    bool finished = false;
    auto sub = stream.forEach(loop_, [&](int) { ++count; }, [&] { finished = true; });
    continuation.yield(1);
    sub.cancel();
    continuation.yield(2);
    continuation.finish();
    loop_.runUntilIdle();
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(finished);
    EXPECT_TRUE(continuation.isFinished());
}

TEST_F(AsyncStreamTest, ConsumerCancellingItselfMidDrainStopsDelivery) {
    auto [stream, continuation] = AsyncStream<int>::make();
    std::vector<int> got;
    Subscription sub;
    sub = stream.forEach(loop_, [&](int v) {
        got.push_back(v);
        if (v == 2) sub.cancel();
    });
    for (int i = 1; i <= 5; ++i) continuation.yield(i);
    loop_.runUntilIdle();
    EXPECT_EQ(got, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace vorela
