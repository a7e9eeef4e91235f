#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Prefs/Observation.h"
#include "Prefs/Prefs.h"
#include "Prefs/Publisher.h"
#include "Prefs/Updates.h"
#include "TestTypes.h"

namespace vorela::Prefs {
namespace {

using testing::Geometry;
using testing::Mode;

const ObservationOptions kNone = ObservationOptions::none();
const ObservationOptions kInitial = ObservationOptions::of({ObservationOption::initial});
const ObservationOptions kPrior = ObservationOptions::of({ObservationOption::prior});

class ObservationTest : public ::testing::Test {
protected:
    std::shared_ptr<UserDefaults> suite_ = UserDefaults::inMemory();
};

template <class T>
std::vector<KeyChange<T>> record(const Key<T>& key, ObservationOptions options,
                                 const std::function<void()>& writes) {
    std::vector<KeyChange<T>> seen;
    auto observation = observe(key, options, [&](const KeyChange<T>& c) { seen.push_back(c); });
    writes();
    return seen;
}

TEST_F(ObservationTest, EachBridgeKindReportsOldAndNewValues) {
    const Key<double> number("number", 1.5, suite_);
    const Key<std::string> text("text", std::string("a"), suite_);
    const Key<Mode> mode("mode", Mode::classic, suite_);
    const Key<std::optional<Geometry>> geometry("geometry", suite_);
    const Key<std::vector<int>> list("list", std::vector<int>{}, suite_);

    auto numbers = record(number, kNone, [&] { set(number, 2.5); });
    ASSERT_EQ(numbers.size(), 1u);
    EXPECT_EQ(numbers[0].oldValue, 1.5) << "the registered default was in force";
    EXPECT_EQ(numbers[0].newValue, 2.5);

    auto texts = record(text, kNone, [&] {
        set(text, "b");
        text.reset();
    });
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].oldValue, "b");
    EXPECT_EQ(texts[1].newValue, "a") << "removal brings the default back";

    auto modes = record(mode, kNone, [&] {
        set(mode, Mode::voice);
        suite_->set("mode", PropertyList("nonsense"));
    });
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[0].newValue, Mode::voice);
    EXPECT_EQ(modes[1].newValue, Mode::classic) << "an unknown raw value reads as the default";

    const Geometry g{"floating", 1, 2, 3, 4};
    auto geometries = record(geometry, kNone, [&] {
        set(geometry, g);
        set(geometry, std::nullopt);
    });
    ASSERT_EQ(geometries.size(), 2u);
    EXPECT_EQ(geometries[0].oldValue, std::nullopt);
    EXPECT_EQ(geometries[0].newValue, g);
    EXPECT_EQ(geometries[1].oldValue, g);
    EXPECT_EQ(geometries[1].newValue, std::nullopt);

    auto lists = record(list, kNone, [&] { set(list, {1, 2}); });
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].newValue, (std::vector<int>{1, 2}));
}

TEST_F(ObservationTest, OptionsShapeTheNotifications) {
    const Key<int> count("count", 7, suite_);
    struct Case {
        const char* name;
        ObservationOptions options;
        std::vector<bool> priorFlags;  // one per call, for two writes
    };
    const Case cases[] = {
        {"none", kNone, {false, false}},
        {"initial", kInitial, {false, false, false}},
        {"prior", kPrior, {true, false, true, false}},
        {"initial wins over prior",
         ObservationOptions::of({ObservationOption::initial, ObservationOption::prior}),
         {false, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        count.reset();
        auto seen = record(count, c.options, [&] {
            set(count, 8);
            set(count, 9);
        });
        std::vector<bool> flags;
        for (const auto& change : seen) flags.push_back(change.isPrior);
        EXPECT_EQ(flags, c.priorFlags);
        if (c.options.initial) {
            EXPECT_EQ(seen[0].newValue, 7);
            EXPECT_EQ(seen[0].oldValue, 7) << "no old value at start: the default";
        }
        if (c.options.prior && !c.options.initial) {
            EXPECT_EQ(seen[0].oldValue, 7);
            EXPECT_EQ(seen[0].newValue, 7) << "a prior notice has no new value yet";
        }
    }
}

// The initial value used to be delivered while the observation held its own lock, so an
// observer that wrote the key (starting a nested delivery) deadlocked.
TEST_F(ObservationTest, ObserversMayWriteTheSuiteIncludingFromTheInitialValue) {
    const Key<int> source("source", 1, suite_);
    const Key<int> mirror("mirror", 0, suite_);
    auto observation = observe(source, kInitial, [&](const KeyChange<int>& c) {
        set(mirror, c.newValue * 10);
        set(source, std::min(c.newValue, 5));  // clamps, writing its own key
    });
    EXPECT_EQ(get(mirror), 10);
    set(source, 9);
    EXPECT_EQ(get(source), 5);
    EXPECT_EQ(get(mirror), 50);
}

TEST_F(ObservationTest, WritesWithoutPropagationReachNoObserverOnThisThreadOnly) {
    const Key<int> count("count", 0, suite_);
    std::atomic<int> calls = 0;
    auto observation = observe(count, kNone, [&](const KeyChange<int>&) { ++calls; });
    withoutPropagation([&] {
        set(count, 1);
        std::thread([&] { set(count, 2); }).join();
        withoutPropagation([&] { set(count, 3); });
        set(count, 4);  // still muted after the nested call
    });
    EXPECT_EQ(calls, 1);
    set(count, 5);
    EXPECT_EQ(calls, 2);
}

TEST_F(ObservationTest, InvalidationIsIdempotentAndFinal) {
    const Key<int> count("count", 0, suite_);
    int calls = 0;
    PrefsObservation observation(count, [&](const auto&, const auto&) { ++calls; });
    observation.invalidate();  // never started
    observation.start(kNone);
    set(count, 1);
    observation.invalidate();
    observation.invalidate();
    observation.start(kNone);  // the suite was forgotten
    set(count, 2);
    EXPECT_EQ(calls, 1);
}

TEST_F(ObservationTest, SeveralKeysCallTheHandlerOncePerLaterChange) {
    const Key<int> a("a", 0, suite_);
    const Key<bool> b("b", false, suite_);
    int calls = 0;
    auto observation = observe({a, b}, kInitial, [&] { ++calls; });
    EXPECT_EQ(calls, 0) << "never at once";
    set(a, 1);
    set(b, true);
    EXPECT_EQ(calls, 2);
}

TEST_F(ObservationTest, ATieKeepsAnObservationUntilItsOwnerGoes) {
    const Key<int> count("count", 0, suite_);
    int calls = 0;
    auto owner = std::make_unique<LifetimeOwner>();
    observe(count, kNone, [&](const auto&) { ++calls; })->tieToLifetime(*owner);
    set(count, 1);
    EXPECT_EQ(calls, 1) << "the owner keeps it alive";
    owner.reset();
    set(count, 2);
    EXPECT_EQ(calls, 1);

    LifetimeOwner second;
    auto observation = observe(count, kNone, [&](const auto&) { ++calls; });
    observation->tieToLifetime(second);
    observation->removeLifetimeTie();
    EXPECT_EQ(second.tieCount(), 0u);
    observation.reset();
    set(count, 3);
    EXPECT_EQ(calls, 1) << "untied, it went with its last reference";
}

TEST_F(ObservationTest, TiesEndTogetherWithTheOwnerAndCancelAlone) {
    int handled = 0;
    auto owner = std::make_unique<LifetimeOwner>();
    auto first = std::make_shared<int>(1);
    auto second = std::make_shared<int>(2);
    std::weak_ptr<int> weakFirst = first, weakSecond = second;
    LifetimeAssociation a(std::move(first), *owner, [&] { ++handled; });
    LifetimeAssociation b(std::move(second), *owner, [&] { handled += 10; });
    b.cancel();
    EXPECT_TRUE(weakSecond.expired());
    EXPECT_EQ(handled, 0) << "a cancelled tie runs no handler";
    EXPECT_FALSE(weakFirst.expired());
    owner.reset();
    EXPECT_EQ(handled, 1);
    EXPECT_TRUE(weakFirst.expired());
}

TEST_F(ObservationTest, StreamsDeliverValuesOnTheRunLoop) {
    ManualRunLoop loop;
    const Key<int> a("a", 1, suite_);
    const Key<std::string> b("b", std::string("x"), suite_);
    const Key<bool> c("c", false, suite_);

    std::vector<int> single;
    auto s1 = updates(a, true).forEach(loop, [&](int v) { single.push_back(v); });
    std::vector<std::tuple<int, std::string>> pairs;
    auto s2 = updates(true, a, b).forEach(loop, [&](auto v) { pairs.push_back(v); });
    int ticks = 0;
    auto s3 = updates({a, b, c}, true).forEach(loop, [&](std::tuple<>) { ++ticks; });
    loop.runUntilIdle();
    set(b, "y");
    set(a, 2);
    set(c, true);
    loop.runUntilIdle();
    EXPECT_EQ(single, (std::vector<int>{1, 2}));
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0], std::make_tuple(1, std::string("x")));
    EXPECT_EQ(pairs[1], std::make_tuple(1, std::string("y")));
    EXPECT_EQ(pairs[2], std::make_tuple(2, std::string("y")));
    EXPECT_EQ(ticks, 4) << "one at once, one per change";

    s1.cancel();
    set(a, 3);
    loop.runUntilIdle();
    EXPECT_EQ(single.size(), 2u) << "an ended stream observes nothing";
}

TEST_F(ObservationTest, PublishersIgnoreDemandAndStopAtCancel) {
    const Key<int> a("a", 0, suite_);
    const Key<int> b("b", 0, suite_);
    std::vector<int> values;
    auto subscription =
        publisher(a, kInitial).sink([&](const KeyChange<int>& c) { values.push_back(c.newValue); });
    int merged = 0;
    auto mergedSubscription = publisher({a, b}, kNone).sink([&](std::tuple<>) { ++merged; });
    set(a, 1);
    set(b, 1);
    subscription.cancel();
    set(a, 2);
    EXPECT_EQ(values, (std::vector<int>{0, 1}));
    EXPECT_EQ(merged, 3);
}

// An observer removed while a change was being delivered to it on another thread could
// still be called after its removal returned; removal now waits for that delivery.
TEST_F(ObservationTest, ManyThreadsWriteWhileOthersObserveAndUnsubscribe) {
    const Key<int> count("count", 0, suite_);
    constexpr int kWriters = 4;
    constexpr int kWrites = 300;
    std::atomic<bool> done = false;
    std::atomic<int> seen = 0;
    auto steady = observe(count, kNone, [&](const KeyChange<int>&) { ++seen; });
    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w) {
        threads.emplace_back([&, w] {
            for (int i = 1; i <= kWrites; ++i) set(count, w * 10000 + i);
        });
    }
    for (int o = 0; o < 2; ++o) {
        threads.emplace_back([&] {
            while (!done) {
                auto alive = std::make_shared<std::atomic<bool>>(true);
                auto observation = observe(count, kInitial, [alive](const KeyChange<int>&) {
                    EXPECT_TRUE(*alive) << "delivered after invalidation";
                });
                observation->invalidate();
                *alive = false;
            }
        });
    }
    for (int w = 0; w < kWriters; ++w) threads[static_cast<std::size_t>(w)].join();
    done = true;
    for (std::size_t i = kWriters; i < threads.size(); ++i) threads[i].join();
    EXPECT_EQ(seen, kWriters * kWrites) << "every write changed the value once";
}

}  // namespace
}  // namespace vorela::Prefs
