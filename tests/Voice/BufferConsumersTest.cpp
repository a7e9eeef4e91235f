#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "Voice/BufferConsumers.h"

namespace vorela {
namespace {

class BufferConsumersTest : public ::testing::Test {
protected:
    void deliver() { table_.deliver(buffer_, AudioTime{}); }

    BufferConsumers table_;
    std::shared_ptr<const AudioBuffer> buffer_ = AudioBuffer::make({48000, 1}, 1024);
};

TEST_F(BufferConsumersTest, AddReplacesUnderTheSameUuidAndRemoveIgnoresUnknownOnes) {
    const Uuid a = Uuid::make();
    std::vector<char> calls;
    table_.add([&](const auto&, const auto&) { calls.push_back('1'); }, a);
    table_.add([&](const auto&, const auto&) { calls.push_back('2'); }, a);
    table_.remove(Uuid::make());
    deliver();
    EXPECT_EQ(calls, std::vector<char>{'2'});
    EXPECT_EQ(table_.count(), 1u);
    table_.remove(a);
    deliver();
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(table_.count(), 0u);
}

TEST_F(BufferConsumersTest, AConsumerRemovingItselfDuringItsCallRemovesNoOtherAndDoesNotDeadlock) {
    const Uuid self = Uuid::make();
    std::map<char, int> calls;
    table_.add([&](const auto&, const auto&) { ++calls['a']; }, Uuid::make());
    table_.add(
        [&](const auto&, const auto&) {
            ++calls['s'];
            table_.remove(self);  // the table's lock is not held here
        },
        self);
    table_.add([&](const auto&, const auto&) { ++calls['z']; }, Uuid::make());
    deliver();
    deliver();
    EXPECT_EQ(calls['s'], 1);
    EXPECT_EQ(calls['a'], 2);
    EXPECT_EQ(calls['z'], 2);
    EXPECT_EQ(table_.count(), 2u);
}

TEST_F(BufferConsumersTest, AConsumerAddedDuringADeliveryStartsWithTheNextBuffer) {
    int late = 0;
    bool added = false;
    table_.add(
        [&](const auto&, const auto&) {
            if (added) return;
            added = true;
            table_.add([&](const auto&, const auto&) { ++late; }, Uuid::make());
        },
        Uuid::make());
    deliver();
    EXPECT_EQ(late, 0);
    deliver();
    EXPECT_EQ(late, 1);
}

TEST_F(BufferConsumersTest, ACallbackRemovedDuringItsCallStaysValidUntilItReturns) {
    // The callback's captures must live through its own call even though the table no
    // longer holds it: destroying them mid-call would read freed memory.
    const Uuid self = Uuid::make();
    auto payload = std::make_shared<std::vector<int>>(1000, 7);
    int sum = 0;
    table_.add(
        [&, payload](const auto&, const auto&) {
            table_.remove(self);
            for (int v : *payload) sum += v;
        },
        self);
    payload.reset();
    deliver();
    EXPECT_EQ(sum, 7000);
}

TEST_F(BufferConsumersTest, MainThreadEditsWhileTheTapThreadDeliversNeverLoseAnotherConsumer) {
    std::atomic<int> steady{0};
    table_.add([&](const auto&, const auto&) { ++steady; }, Uuid::make());
    std::atomic<bool> done{false};
    std::thread tap([&] {
        for (int i = 0; i < 5000; ++i) deliver();
        done = true;
    });
    std::mutex mutex;
    int transient = 0;
    while (!done) {
        const Uuid id = Uuid::make();
        table_.add(
            [&](const auto&, const auto&) {
                std::lock_guard guard(mutex);  // a consumer may take its own lock
                ++transient;
            },
            id);
        table_.remove(id);
    }
    tap.join();
    EXPECT_EQ(steady.load(), 5000);
    EXPECT_EQ(table_.count(), 1u);
}

}  // namespace
}  // namespace vorela
