#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "Platform/Keys/Fake/FakeHotKeyRegistrar.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Shortcuts/HotKey.h"
#include "Shortcuts/HotKeyCenter.h"

namespace vorela::Shortcuts {
namespace {

constexpr std::uint32_t kSpace = 49;
constexpr std::uint32_t kR = 15;
constexpr std::uint32_t kOption = 0x800;

class HotKeyCenterTest : public ::testing::Test {
protected:
    std::shared_ptr<HotKey> makeHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
        return std::make_shared<HotKey>(
            center_, static_cast<int>(keyCode), static_cast<int>(modifiers), [this] { ++downs_; },
            [this] { ++ups_; });
    }
    void openMenu() { notifications_.post(kMenuDidBeginTrackingNotification); }
    void closeMenu() { notifications_.post(kMenuDidEndTrackingNotification); }

    ManualRunLoop loop_;
    NotificationCenter notifications_{loop_};
    FakeHotKeyRegistrar registrar_;
    std::shared_ptr<HotKeyCenter> center_ = HotKeyCenter::create(loop_, registrar_, notifications_);
    int downs_ = 0;
    int ups_ = 0;
};

// --- Identity and lifetime ---

TEST_F(HotKeyCenterTest, IdentifiersStartAtOneAndAreNeverReused) {
    registrar_.holdByAnotherProgram(kR, kOption);
    auto first = makeHotKey(kSpace, kOption);
    EXPECT_EQ(first->id(), 1);
    EXPECT_TRUE(center_->registerHotKey(first));
    auto refused = makeHotKey(kR, kOption);
    EXPECT_FALSE(center_->registerHotKey(refused));
    EXPECT_EQ(center_->hotKeys().size(), 1u);
    first.reset();
    refused.reset();
    EXPECT_EQ(registrar_.registrationCount(), 0u);
    EXPECT_EQ(makeHotKey(kSpace, kOption)->id(), 3);
}

TEST_F(HotKeyCenterTest, AHotKeyReleasedOnAnotherThreadIsUnregisteredOnTheMainThread) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    std::thread([owned = std::move(hotKey)]() mutable { owned.reset(); }).join();
    EXPECT_EQ(registrar_.registrationCount(), 1u);
    loop_.runUntilIdle();
    EXPECT_EQ(registrar_.registrationCount(), 0u);
    EXPECT_TRUE(center_->hotKeys().empty());
}

TEST_F(HotKeyCenterTest, KeyValuesThatDoNotFitThePlatformAreRefusedBeforeReachingIt) {
    // A hand-edited store can hold negative numbers; they must not wrap to valid keys.
    auto negativeKey = std::make_shared<HotKey>(center_, -1, 0x800, nullptr, nullptr);
    auto negativeBits = std::make_shared<HotKey>(center_, 49, -0x800, nullptr, nullptr);
    EXPECT_FALSE(center_->registerHotKey(negativeKey));
    EXPECT_FALSE(center_->registerHotKey(negativeBits));
    EXPECT_EQ(registrar_.registerCallCount(), 0);
}

// --- Events ---

TEST_F(HotKeyCenterTest, EventsRunTheCallbacksOfTheHotKeyTheyName) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    EXPECT_EQ(registrar_.press(kSpace, kOption), HotKeyEventResult::handled);
    EXPECT_EQ(registrar_.release(kSpace, kOption), HotKeyEventResult::handled);
    EXPECT_EQ(downs_, 1);
    EXPECT_EQ(ups_, 1);

    struct Case {
        const char* name;
        HotKeyIdentifier identifier;
    };
    const Case foreign[] = {
        {"another signature", {0x41424344, static_cast<std::uint32_t>(hotKey->id())}},
        {"an unknown identifier", {HotKeyCenter::kSignature, 99}},
        {"an identifier beyond int", {HotKeyCenter::kSignature, 0x80000001u}},
    };
    for (const auto& c : foreign) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(registrar_.sendHotKeyEvent(c.identifier, HotKeyEventKind::pressed),
                  HotKeyEventResult::notHandled);
    }
    const HotKeyIdentifier released{HotKeyCenter::kSignature,
                                    static_cast<std::uint32_t>(hotKey->id())};
    hotKey.reset();
    EXPECT_EQ(registrar_.sendHotKeyEvent(released, HotKeyEventKind::pressed),
              HotKeyEventResult::notHandled);
    EXPECT_EQ(downs_, 1);
}

TEST_F(HotKeyCenterTest, EventsOffTheMainThreadAreRefused) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    HotKeyEventResult result = HotKeyEventResult::handled;
    std::thread([&] {
        result =
            center_->handleHotKeyEvent({HotKeyCenter::kSignature, 1}, HotKeyEventKind::pressed);
    }).join();
    EXPECT_EQ(result, HotKeyEventResult::notHandled);
    EXPECT_EQ(downs_, 0);
}

TEST_F(HotKeyCenterTest, AnEventHandlerThatCannotBeInstalledIsTriedAgainOnTheNextRegistration) {
    registrar_.failEventHandlerInstall(true);
    auto first = makeHotKey(kSpace, kOption);
    EXPECT_TRUE(center_->registerHotKey(first));
    EXPECT_FALSE(center_->hasEventHandler());
    registrar_.failEventHandlerInstall(false);
    auto second = makeHotKey(kR, kOption);
    EXPECT_TRUE(center_->registerHotKey(second));
    EXPECT_TRUE(center_->hasEventHandler());
    registrar_.press(kSpace, kOption);
    EXPECT_EQ(downs_, 1);
}

// --- Modes ---

TEST_F(HotKeyCenterTest, AnOpenMenuUnregistersHotKeysAndMatchesItsKeyEventsInstead) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    openMenu();
    EXPECT_EQ(center_->mode(), HotKeyCenter::Mode::menuOpen);
    EXPECT_EQ(registrar_.registrationCount(), 0u);
    EXPECT_TRUE(registrar_.areRawKeyEventsEnabled());

    EXPECT_EQ(registrar_.press(kSpace, kOption), HotKeyEventResult::handled);
    EXPECT_EQ(registrar_.repeat(kSpace, kOption), HotKeyEventResult::notHandled);
    EXPECT_EQ(registrar_.press(kR, kOption), HotKeyEventResult::notHandled);  // for the menu
    EXPECT_EQ(registrar_.press(kSpace, kOption | 0x10000),
              HotKeyEventResult::handled);  // bits beyond the five
    EXPECT_EQ(registrar_.release(kSpace, kOption), HotKeyEventResult::handled);
    EXPECT_EQ(downs_, 2);
    EXPECT_EQ(ups_, 1);

    closeMenu();
    EXPECT_EQ(center_->mode(), HotKeyCenter::Mode::normal);
    EXPECT_TRUE(registrar_.isRegistered(kSpace, kOption));
    EXPECT_FALSE(registrar_.areRawKeyEventsEnabled());
    EXPECT_TRUE(hotKey->eventHotKeyRef());
}

TEST_F(HotKeyCenterTest, WithTheSwitchOffMenusChangeNothing) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    center_->setEnabled(false);
    center_->updateMode();
    EXPECT_EQ(registrar_.registrationCount(), 0u);
    openMenu();
    EXPECT_EQ(center_->mode(), HotKeyCenter::Mode::disabled);
    EXPECT_FALSE(registrar_.areRawKeyEventsEnabled());
    closeMenu();
    EXPECT_EQ(registrar_.registrationCount(), 0u);
    // A hot key registered now waits, unregistered, for the return to normal.
    auto late = makeHotKey(kR, kOption);
    EXPECT_TRUE(center_->registerHotKey(late));
    EXPECT_EQ(registrar_.registrationCount(), 0u);
    center_->setEnabled(true);
    center_->updateMode();
    EXPECT_EQ(registrar_.registrationCount(), 2u);
}

TEST_F(HotKeyCenterTest, TheSwitchTurnedOnWhileAMenuTracksGoesToMenuMode) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    center_->setEnabled(false);
    center_->updateMode();
    openMenu();
    center_->setEnabled(true);
    center_->updateMode();
    EXPECT_EQ(center_->mode(), HotKeyCenter::Mode::menuOpen);
    EXPECT_EQ(registrar_.registrationCount(), 0u);
    EXPECT_TRUE(registrar_.areRawKeyEventsEnabled());
}

TEST_F(HotKeyCenterTest, AHotKeyThatCannotRegisterAgainIsDroppedAndTold) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    int failures = 0;
    hotKey->setOnRegistrationFailed([&] { ++failures; });
    openMenu();
    registrar_.holdByAnotherProgram(kSpace, kOption);
    closeMenu();
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(center_->hotKeys().empty());
    EXPECT_FALSE(hotKey->eventHotKeyRef());
    EXPECT_EQ(center_->systemShortcuts(), (std::vector<std::pair<int, int>>{{49, 0x800}}));
}

TEST_F(HotKeyCenterTest, MenuNotificationsPostedElsewhereTakeEffectOnTheMainThread) {
    auto hotKey = makeHotKey(kSpace, kOption);
    ASSERT_TRUE(center_->registerHotKey(hotKey));
    std::thread([this] { openMenu(); }).join();
    EXPECT_EQ(center_->mode(), HotKeyCenter::Mode::normal);
    loop_.runUntilIdle();
    EXPECT_EQ(center_->mode(), HotKeyCenter::Mode::menuOpen);
}

}  // namespace
}  // namespace vorela::Shortcuts
