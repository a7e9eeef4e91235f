#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Shortcuts/HandlerRegistry.h"
#include "ShortcutsEnvironment.h"

namespace vorela::Shortcuts {
namespace {

class HandlerRegistryTest : public ::testing::Test {
protected:
    Handler record(std::string label) {
        return [this, label = std::move(label)] { calls_.push_back(label); };
    }

    ShortcutsEnvironment env_;
    std::vector<std::string> calls_;
};

// --- Registration and dispatch ---

TEST_F(HandlerRegistryTest, HandlersRunInAttachOrderOnEveryPressOverOneHotKey) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, record("first"));
    onKeyDown(play, record("second"));
    onKeyUp(play, record("up"));
    EXPECT_EQ(env_.registrar.registrationCount(), 1u);
    env_.tap(kOptionSpace);
    env_.tap(kOptionSpace);
    EXPECT_EQ(calls_, (std::vector<std::string>{"first", "second", "up", "first", "second", "up"}));
}

TEST_F(HandlerRegistryTest, TheSevenDefaultsTakeIdentifiersOneToSevenInOrder) {
    const std::vector<std::pair<const char*, Key>> defaults{
        {"togglePlay", Key::space},      {"faster", Key::rightArrow},
        {"slower", Key::leftArrow},      {"restart", Key::r},
        {"togglePanel", Key::p},         {"previousBookmark", Key::upArrow},
        {"nextBookmark", Key::downArrow}};
    onKeyDown(Name("unstored"), record("never"));  // no keys: no hot key, no identifier
    for (const auto& [raw, key] : defaults) {
        onKeyDown(Name::declare(raw, Shortcut(key, ModifierFlags::option)), record(raw));
    }
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(defaults[static_cast<std::size_t>(i)].first);
        const auto id = env_.registrar.identifierFor(
            static_cast<std::uint32_t>(defaults[static_cast<std::size_t>(i)].second.rawValue),
            0x800);
        ASSERT_TRUE(id);
        EXPECT_EQ(id->id, static_cast<std::uint32_t>(i + 1));
    }
}

TEST_F(HandlerRegistryTest, OnlyEnabledNamesHoldingThePressedKeysRun) {
    const Name a("a"), b("b"), other("other");
    setShortcut(kOptionR, a);
    setShortcut(kOptionR, b);
    setShortcut(kOptionP, other);
    onKeyDown(a, record("a"));
    onKeyDown(b, record("b"));
    onKeyDown(other, record("other"));
    EXPECT_EQ(env_.registrar.registrationCount(), 2u);  // a and b share one
    env_.tap(kOptionR);
    EXPECT_EQ(calls_, (std::vector<std::string>{"a", "b"}));

    disable({a});
    EXPECT_TRUE(env_.isRegistered(kOptionR));  // b still uses it
    EXPECT_FALSE(isEnabled(a));
    calls_.clear();
    env_.tap(kOptionR);
    EXPECT_EQ(calls_, std::vector<std::string>{"b"});

    enable({a});
    calls_.clear();
    env_.tap(kOptionR);
    EXPECT_EQ(calls_, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(isEnabled(a));
}

TEST_F(HandlerRegistryTest, ChangesMadeByAHandlerTakeEffectFromTheNextPress) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, [this, play] {
        calls_.push_back("outer");
        onKeyDown(play, record("added"));
    });
    env_.tap(kOptionSpace);
    EXPECT_EQ(calls_, std::vector<std::string>{"outer"});
    env_.tap(kOptionSpace);
    EXPECT_EQ(calls_, (std::vector<std::string>{"outer", "outer", "added"}));
}

TEST_F(HandlerRegistryTest, AHandlerMayRemoveItsOwnShortcutWhileItRuns) {
    // Clearing the keys releases the hot key whose callback is running; the callback and
    // the hot key must outlive the call (ASan reported a use after free here).
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, [this, play] {
        calls_.push_back("clearing");
        play.setShortcut(std::nullopt);
        calls_.push_back("after");
    });
    onKeyUp(play, record("up"));
    const Name later("later");  // dispatch goes on comparing keys after the handler ran
    setShortcut(kOptionR, later);
    onKeyDown(later, record("later"));
    env_.tap(kOptionSpace);
    EXPECT_EQ(calls_, (std::vector<std::string>{"clearing", "after"}));
    EXPECT_EQ(env_.registrar.registrationCount(), 1u);
    env_.tap(kOptionSpace);
    EXPECT_EQ(calls_.size(), 2u);
}

TEST_F(HandlerRegistryTest, RemovingHandlersReleasesHotKeysNobodyElseUses) {
    const Name a("a"), b("b");
    setShortcut(kOptionR, a);
    setShortcut(kOptionP, b);
    onKeyDown(a, record("a"));
    onKeyDown(b, record("b"));
    removeHandler(a);
    EXPECT_FALSE(env_.isRegistered(kOptionR));
    EXPECT_TRUE(env_.isRegistered(kOptionP));
    removeAllHandlers();
    EXPECT_EQ(env_.registrar.registrationCount(), 0u);
    env_.tap(kOptionP);
    EXPECT_TRUE(calls_.empty());
}

TEST_F(HandlerRegistryTest, ARefusedRegistrationIsTriedAgainByTheNextChange) {
    env_.registrar.holdByAnotherProgram(49, 0x800);
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, record("play"));
    EXPECT_FALSE(isEnabled(play));
    EXPECT_FALSE(env_.registry().hasHotKey(kOptionSpace));
    env_.registrar.releaseFromAnotherProgram(49, 0x800);
    enable({play});
    EXPECT_TRUE(isEnabled(play));
    env_.tap(kOptionSpace);
    EXPECT_EQ(calls_, std::vector<std::string>{"play"});
}

// --- The switch and the pause ---

TEST_F(HandlerRegistryTest, TheSwitchUnregistersAndRegistersTheSameHotKeysKeepingHandlers) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, record("play"));
    setEnabled(false);
    EXPECT_FALSE(isEnabled());
    EXPECT_EQ(env_.registrar.registrationCount(), 0u);
    EXPECT_FALSE(isEnabled(play));
    setEnabled(true);
    EXPECT_TRUE(env_.isRegistered(kOptionSpace));
    env_.tap(kOptionSpace);
    EXPECT_EQ(calls_, std::vector<std::string>{"play"});
}

TEST_F(HandlerRegistryTest, WhilePausedNothingIsDeliveredAndTheKeysAreFreeForTheRecorder) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, record("play"));
    auto stream = events(play);
    std::vector<EventType> received;
    auto reading = stream.forEach(env_.loop, [&](EventType e) { received.push_back(e); });
    {
        auto paused = pause();
        EXPECT_TRUE(isPaused());
        EXPECT_FALSE(env_.isRegistered(kOptionSpace));
        // Even a hot-key event that slips through runs nothing.
        env_.center().handleHotKeyEvent({HotKeyCenter::kSignature, 1}, HotKeyEventKind::pressed);
        env_.loop.runUntilIdle();
        EXPECT_TRUE(calls_.empty());
        EXPECT_TRUE(received.empty());
    }
    EXPECT_FALSE(isPaused());
    env_.tap(kOptionSpace);
    env_.loop.runUntilIdle();
    EXPECT_EQ(calls_, std::vector<std::string>{"play"});
    EXPECT_EQ(received, (std::vector<EventType>{EventType::keyDown, EventType::keyUp}));
}

TEST_F(HandlerRegistryTest, APauseBelongsToWhoeverTookIt) {
    // One recorder ending its recording used to unpause shortcuts while another recorder
    // was still recording; the pause lasts until every holder has let go.
    Subscription first = pause();
    Subscription second = pause();
    first.cancel();
    first.cancel();
    EXPECT_TRUE(isPaused());
    second.cancel();
    EXPECT_FALSE(isPaused());
}

// --- Streams ---

TEST_F(HandlerRegistryTest, StreamsKeepTheirHotKeyUntilTheyEnd) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, record("play"));
    auto downs = events(EventType::keyDown, play);
    std::vector<EventType> received;
    auto reading = downs.forEach(env_.loop, [&](EventType e) { received.push_back(e); });
    removeAllHandlers();
    EXPECT_TRUE(env_.isRegistered(kOptionSpace));
    env_.tap(kOptionSpace);
    env_.loop.runUntilIdle();
    EXPECT_EQ(received, std::vector<EventType>{EventType::keyDown});
    EXPECT_TRUE(calls_.empty());

    reading.cancel();
    EXPECT_TRUE(env_.isRegistered(kOptionSpace));  // the clean-up is a main-thread task
    env_.loop.runUntilIdle();
    EXPECT_FALSE(env_.isRegistered(kOptionSpace));
}

TEST_F(HandlerRegistryTest, AShortcutStreamIgnoresNamesAndADroppedStreamReleasesItsKeys) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    disable({play});
    auto stream = events(kOptionSpace);
    std::vector<EventType> received;
    auto reading = stream.forEach(env_.loop, [&](EventType e) { received.push_back(e); });
    env_.tap(kOptionSpace);
    env_.loop.runUntilIdle();
    EXPECT_EQ(received.size(), 2u);

    { auto unused = events(kOptionR); }
    env_.loop.runUntilIdle();
    EXPECT_FALSE(env_.isRegistered(kOptionR));
}

TEST_F(HandlerRegistryTest, ARepeatingStreamYieldsAtThePressThenAfterTheDelayThenEachInterval) {
    env_.keyboard.setKeyRepeat(0.25, 0.05);
    const Name faster = Name::declare("faster", Shortcut(Key::rightArrow, ModifierFlags::option));
    auto stream = repeatingKeyDownEvents(faster);
    std::vector<double> times;
    auto reading =
        stream.forEach(env_.loop, [&](KeyRepeat) { times.push_back(env_.loop.uptime()); });
    const double start = env_.loop.uptime();

    env_.registrar.press(124, 0x800);
    env_.loop.advanceBy(0.249);
    EXPECT_EQ(times.size(), 1u);
    env_.loop.advanceBy(0.001);
    EXPECT_EQ(times.size(), 2u);
    env_.loop.advanceBy(0.12);
    env_.registrar.release(124, 0x800);
    env_.loop.advanceBy(1.0);
    ASSERT_EQ(times.size(), 4u);
    const double expected[] = {0, 0.25, 0.30, 0.35};
    for (std::size_t i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i] - start, expected[i], 1e-9);
}

TEST_F(HandlerRegistryTest, ARepeatingStreamStopsWhenItsKeyUpIsLost) {
    // The key went up while the release never reached us (a grab taken over); the stream
    // went on repeating for ever. The key must still be down for a repeat.
    env_.keyboard.setKeyRepeat(0.25, 0.05);
    const Name faster = Name::declare("faster", Shortcut(Key::rightArrow, ModifierFlags::option));
    auto stream = repeatingKeyDownEvents(faster);
    int count = 0;
    auto reading = stream.forEach(env_.loop, [&](KeyRepeat) { ++count; });
    env_.registrar.press(124, 0x800);
    env_.loop.advanceBy(0.30);
    EXPECT_EQ(count, 3);
    env_.registrar.loseKeyUp(124);
    env_.loop.advanceBy(5.0);
    EXPECT_EQ(count, 3);
    EXPECT_FALSE(env_.loop.nextTaskDelay());
}

TEST_F(HandlerRegistryTest, ARepeatingStreamStopsAtItsNextCheckWhenPausedAndEndsWithItsConsumer) {
    env_.keyboard.setKeyRepeat(0.25, 0.05);
    auto stream = repeatingKeyDownEvents(kOptionR);
    int count = 0;
    auto reading = stream.forEach(env_.loop, [&](KeyRepeat) { ++count; });
    env_.registrar.press(15, 0x800);
    env_.loop.advanceBy(0.25);
    EXPECT_EQ(count, 2);
    {
        auto paused = pause();
        env_.loop.advanceBy(1.0);
    }
    EXPECT_EQ(count, 2);
    reading.cancel();
    env_.loop.runUntilIdle();
    EXPECT_FALSE(env_.isRegistered(kOptionR));
}

}  // namespace
}  // namespace vorela::Shortcuts

namespace vorela::Shortcuts {
namespace {

// --- Faults mended ---

TEST(HandlerRegistryFaultTest, KeysDifferingOnlyInAnUnknownModifierBitShareOneHotKey) {
    // Option-R stored as 0x800 and as 0x8800 (a bit no platform modifier has) made two hot
    // keys on one X grab: only the first fired, and clearing one silenced both.
    ShortcutsEnvironment env;
    const Name restart("restart");
    const Name again("again");
    env.defaults->set("Shortcuts_restart",
                      std::string(R"({"carbonKeyCode":15,"carbonModifiers":2048})"));
    env.defaults->set("Shortcuts_again",
                      std::string(R"({"carbonKeyCode":15,"carbonModifiers":34816})"));
    std::vector<std::string> calls;
    onKeyDown(restart, [&] { calls.push_back("restart"); });
    onKeyDown(again, [&] { calls.push_back("again"); });
    EXPECT_EQ(env.registrar.registrationCount(), 1u);
    env.tap(kOptionR);
    EXPECT_EQ(calls, (std::vector<std::string>{"restart", "again"}));

    for (const Name* cleared : {&restart, &again}) {
        SCOPED_TRACE(cleared->rawValue());
        env.defaults->set("Shortcuts_restart",
                          std::string(R"({"carbonKeyCode":15,"carbonModifiers":2048})"));
        env.defaults->set("Shortcuts_again",
                          std::string(R"({"carbonKeyCode":15,"carbonModifiers":34816})"));
        enable({restart, again});
        setShortcut(std::nullopt, *cleared);
        const Name& other = cleared == &restart ? again : restart;
        EXPECT_TRUE(isEnabled(other));
        calls.clear();
        env.tap(kOptionR);
        EXPECT_EQ(calls, (std::vector<std::string>{other.rawValue()}));
    }
}

TEST(HandlerRegistryFaultTest, AHandlerThatEndsTheApplicationEndsTheDispatch) {
    // Dispatch went on reading the registry's tables after a handler had destroyed the
    // whole subsystem (quitting from a shortcut); under ASan that was a use after free.
    ShortcutsEnvironment env;
    const Name quit = Name::declare("quit", kOptionSpace);
    const Name other = Name::declare("other", kOptionSpace);
    auto stream = events(quit);
    std::vector<std::string> calls;
    onKeyDown(quit, [&] {
        calls.push_back("quit");
        env.context.reset();
    });
    onKeyDown(other, [&] { calls.push_back("other"); });
    env.tap(kOptionSpace);
    EXPECT_EQ(calls, (std::vector<std::string>{"quit"}));
    EXPECT_EQ(env.registrar.registrationCount(), 0u);
    // A stream dropped after its registry has gone posts nothing to the loop.
    stream = {};
    env.loop.runUntilIdle();
    EXPECT_EQ(env.loop.pendingTaskCount(), 0u);
}

}  // namespace
}  // namespace vorela::Shortcuts
