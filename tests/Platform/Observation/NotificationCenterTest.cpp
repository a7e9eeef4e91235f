#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"

namespace vorela {
namespace {

class NotificationCenterTest : public ::testing::Test {
protected:
    ManualRunLoop loop_;
    NotificationCenter center_{loop_};
};

TEST_F(NotificationCenterTest, DeliversSynchronouslyToObserversOfTheNameInOrder) {
    std::vector<std::string> seen;
    auto a = center_.observe("changed", [&](const Notification& n) {
        const int* value = n.value<int>("value");
        seen.push_back("a" + std::to_string(value ? *value : -1));
    });
    auto other = center_.observe("other", [&](const Notification&) { seen.push_back("other"); });
    auto b = center_.observe("changed", [&](const Notification& n) {
        seen.push_back(n.value<std::string>("value") ? "b-wrong-type" : "b");
    });
    center_.post("changed", {{"value", 7}});
    EXPECT_EQ(seen, (std::vector<std::string>{"a7", "b"}));
}

TEST_F(NotificationCenterTest, ObserversMayCancelAndAddWhileANotificationRuns) {
    int first = 0, second = 0, added = 0;
    Subscription s1, s2, s3;
    s1 = center_.observe("n", [&](const Notification&) {
        ++first;
        s2.cancel();
        s3 = center_.observe("n", [&](const Notification&) { ++added; });
    });
    s2 = center_.observe("n", [&](const Notification&) { ++second; });
    center_.post("n");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(added, 0);
    s1.cancel();
    center_.post("n");
    EXPECT_EQ(added, 1);
}

TEST_F(NotificationCenterTest, PostsFromOtherThreadsArriveOnTheMainThread) {
    std::thread::id deliveredOn;
    auto sub = center_.observe(
        "n", [&](const Notification&) { deliveredOn = std::this_thread::get_id(); });
    std::thread([this] { center_.post("n"); }).join();
    EXPECT_EQ(deliveredOn, std::thread::id());
    loop_.runUntilIdle();
    EXPECT_EQ(deliveredOn, std::this_thread::get_id());
}

TEST(NotificationCenterLifetimeTest, SubscriptionsAndPendingPostsMayOutliveTheCentre) {
    ManualRunLoop loop;
    Subscription sub;
    {
        NotificationCenter center(loop);
        sub = center.observe("n", [](const Notification&) { FAIL(); });
        std::thread([&center] { center.post("n"); }).join();
    }
    loop.runUntilIdle();
    sub.cancel();
}

}  // namespace
}  // namespace vorela
