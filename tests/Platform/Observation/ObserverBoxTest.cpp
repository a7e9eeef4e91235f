#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/ObserverBox.h"

namespace vorela {
namespace {

class ObserverBoxTest : public ::testing::Test {
protected:
    ManualRunLoop loop_;
    std::shared_ptr<NotificationCenter> first_ = std::make_shared<NotificationCenter>(loop_);
    std::shared_ptr<NotificationCenter> second_ = std::make_shared<NotificationCenter>(loop_);
};

TEST_F(ObserverBoxTest, ReleaseRemovesEveryObservationFromTheCentreThatIssuedIt) {
    std::vector<std::string> calls;
    {
        ObserverBox box;
        box.add(first_->observe("n", [&](const Notification&) { calls.push_back("first a"); }),
                first_);
        box.add(second_->observe("n", [&](const Notification&) { calls.push_back("second b"); }),
                second_);
        box.add(first_->observe("n", [&](const Notification&) { calls.push_back("first c"); }),
                first_);
        first_->post("n");
        second_->post("n");
        EXPECT_EQ(calls, (std::vector<std::string>{"first a", "first c", "second b"}));
    }
    calls.clear();
    first_->post("n");
    second_->post("n");
    std::thread([&] { first_->post("n"); }).join();
    loop_.runUntilIdle();
    EXPECT_TRUE(calls.empty());
}

TEST_F(ObserverBoxTest, ReleaseRemovesTokensInTheOrderTheyWereAdded) {
    std::vector<std::string> removals;
    {
        ObserverBox box;
        box.add(Subscription([&] { removals.push_back("first a"); }), first_);
        box.add(Subscription([&] { removals.push_back("second b"); }), second_);
        box.add(Subscription([&] { removals.push_back("first c"); }), first_);
        EXPECT_TRUE(removals.empty());
    }
    EXPECT_EQ(removals, (std::vector<std::string>{"first a", "second b", "first c"}));
}

TEST_F(ObserverBoxTest, AnEmptyBoxReleasesQuietly) {
    int calls = 0;
    auto kept = first_->observe("n", [&](const Notification&) { ++calls; });
    { ObserverBox box; }
    first_->post("n");
    EXPECT_EQ(calls, 1);
}

TEST_F(ObserverBoxTest, TokensAddedFromSeveralThreadsAreAllRemoved) {
    std::atomic<int> removed{0};
    {
        ObserverBox box;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 100; ++i) box.add(Subscription([&] { ++removed; }), first_);
            });
        }
        for (auto& thread : threads) thread.join();
    }
    EXPECT_EQ(removed.load(), 400);
}

}  // namespace
}  // namespace vorela
