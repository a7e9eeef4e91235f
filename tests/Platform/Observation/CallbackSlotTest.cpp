#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Platform/Observation/CallbackSlot.h"

namespace vorela {
namespace {

TEST(CallbackSlotTest, RunsTheInstalledCallbackUntilItsSubscriptionEnds) {
    CallbackSlot<int> slot;
    std::vector<int> seen;
    slot(1);  // nothing installed: nothing happens
    Subscription installed = slot.install([&](int v) { seen.push_back(v); });
    EXPECT_TRUE(slot.isInstalled());
    slot(2);
    installed.cancel();
    slot(3);
    EXPECT_FALSE(slot.isInstalled());
    EXPECT_EQ(seen, (std::vector<int>{2}));
}

TEST(CallbackSlotTest, AnEarlierInstallerEndingLeavesItsReplacementInPlace) {
    CallbackSlot<> slot;
    int first = 0, second = 0;
    Subscription one = slot.install([&] { ++first; });
    Subscription two = slot.install([&] { ++second; });
    one.cancel();
    slot();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
}

TEST(CallbackSlotTest, ACallbackMayRemoveItselfWhileRunning) {
    CallbackSlot<> slot;
    int calls = 0;
    auto counter = std::make_shared<int>(0);
    Subscription installed;
    installed = slot.install([&, counter] {
        installed.cancel();
        ++*counter;  // its captures are still there after it was removed
        ++calls;
    });
    slot();
    slot();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(*counter, 1);
}

TEST(CallbackSlotTest, SubscriptionMayOutliveTheSlot) {
    Subscription installed;
    {
        CallbackSlot<> slot;
        installed = slot.install([] {});
    }
    installed.cancel();
    EXPECT_FALSE(installed.isActive());
}

}  // namespace
}  // namespace vorela
