#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "Platform/Foundation/LifetimeGuard.h"

namespace vorela {
namespace {

// An owner as the guard expects: the guard is its last member.
struct Owner {
    int calls = 0;
    LifetimeGuard guard;
};

TEST(LifetimeGuardTest, ABoundCallbackRunsOnlyWhileItsOwnerLives) {
    auto owner = std::make_unique<Owner>();
    std::function<void(int)> callback =
        owner->guard.bind([o = owner.get()](int n) { o->calls += n; });
    callback(2);
    EXPECT_EQ(owner->calls, 2);
    owner.reset();
    callback(3);  // would write to freed memory without the guard
}

TEST(LifetimeGuardTest, WatchesSeeTheEndOnAnyThread) {
    std::optional<LifetimeGuard> guard(std::in_place);
    const LifetimeGuard::Watch watch = guard->watch();
    EXPECT_TRUE(watch.isAlive());
    guard.reset();
    bool seenAlive = true;
    std::thread([&] { seenAlive = watch.isAlive(); }).join();
    EXPECT_FALSE(seenAlive);
    EXPECT_FALSE(LifetimeGuard::Watch().isAlive());
}

TEST(LifetimeGuardTest, InvalidateEndsEveryWatchBeforeTheGuardGoes) {
    LifetimeGuard guard;
    int calls = 0;
    auto callback = guard.bind([&] { ++calls; });
    const auto watch = guard.watch();
    guard.invalidate();
    callback();
    EXPECT_FALSE(watch.isAlive());
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace vorela
