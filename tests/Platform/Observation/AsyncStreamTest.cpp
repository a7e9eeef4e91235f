#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/AsyncStream.h"

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
    auto sub = stream.forEach(
        loop_,
        [&](int v) {
            EXPECT_TRUE(loop_.isMainThread());
            got.push_back(v);
        },
        [&] { finished = true; });

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
    auto sub = stream.forEach(
        loop_, [&](int) { ++count; }, [&] { finished = true; });
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

TEST_F(AsyncStreamTest, TheProducerLearnsOnceWhenTheStreamEnds) {
    // Each way a stream can end; onTermination runs exactly once, and the producer's
    // yields are refused from then on.
    struct Case {
        const char* name;
        std::function<void(const AsyncStream<int>::Continuation&, Subscription&)> end;
    } cases[] = {
        {"subscription cancelled", [](const auto&, Subscription& sub) { sub.cancel(); }},
        {"subscription destroyed", [](const auto&, Subscription& sub) { sub = {}; }},
        {"finish delivered",
         [this](const AsyncStream<int>::Continuation& c, Subscription&) {
             c.finish();
             loop_.runUntilIdle();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto [stream, continuation] = AsyncStream<int>::make();
        int terminations = 0;
        continuation.onTermination([&] { ++terminations; });
        int received = 0;
        Subscription sub = stream.forEach(loop_, [&](int) { ++received; });
        continuation.yield(1);
        loop_.runUntilIdle();
        EXPECT_EQ(terminations, 0);
        c.end(continuation, sub);
        EXPECT_EQ(terminations, 1);
        EXPECT_FALSE(continuation.yield(2));
        sub.cancel();
        continuation.finish();
        loop_.runUntilIdle();
        EXPECT_EQ(terminations, 1);
        EXPECT_EQ(received, 1);
    }
}

TEST_F(AsyncStreamTest, AStreamDroppedUnconsumedEndsWithItsLastCopy) {
    int terminations = 0;
    AsyncStream<int>::Continuation continuation;
    {
        auto made = AsyncStream<int>::make();
        continuation = made.second;
        continuation.onTermination([&] { ++terminations; });
        AsyncStream<int> copy = made.first;
        { const AsyncStream<int> moved = std::move(made.first); }
        EXPECT_EQ(terminations, 0);
        EXPECT_TRUE(continuation.yield(1));
    }
    EXPECT_EQ(terminations, 1);
    EXPECT_FALSE(continuation.yield(2));

    // A consumed stream outlives the copies it was consumed from.
    auto [stream, producer] = AsyncStream<int>::make();
    producer.onTermination([&] { ++terminations; });
    std::vector<int> got;
    Subscription sub;
    {
        const AsyncStream<int> consumed = std::move(stream);
        auto copy = consumed;
        sub = copy.forEach(loop_, [&](int v) { got.push_back(v); });
    }
    producer.yield(7);
    loop_.runUntilIdle();
    EXPECT_EQ(got, std::vector<int>{7});
    EXPECT_EQ(terminations, 1);
}

TEST_F(AsyncStreamTest, EndingReleasesTheConsumersCallbacks) {
    // A consumer's callbacks often hold the producer, which holds the stream: kept after
    // the end, that cycle would never be freed.
    auto [stream, continuation] = AsyncStream<int>::make();
    auto held = std::make_shared<int>(0);
    std::weak_ptr<int> watch = held;
    auto sub = stream.forEach(
        loop_, [held](int) {}, [held] {});
    held.reset();
    EXPECT_FALSE(watch.expired());
    sub.cancel();
    EXPECT_TRUE(watch.expired());
}

TEST_F(AsyncStreamTest, NewestBufferingKeepsOnlyTheLatestElementNotYetTaken) {
    auto [stream, continuation] = AsyncStream<int>::make(AsyncStream<int>::Buffering::newest);
    std::vector<int> got;
    bool finished = false;
    auto sub = stream.forEach(
        loop_, [&](int v) { got.push_back(v); }, [&] { finished = true; });
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(continuation.yield(i));
    loop_.runUntilIdle();
    continuation.yield(4);
    loop_.runUntilIdle();
    continuation.yield(5);
    continuation.yield(6);
    continuation.finish();
    loop_.runUntilIdle();
    EXPECT_EQ(got, (std::vector<int>{3, 4, 6}));
    EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace vorela
