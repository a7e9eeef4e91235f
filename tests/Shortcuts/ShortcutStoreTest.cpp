#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Shortcuts/ShortcutStore.h"
#include "ShortcutsEnvironment.h"

namespace vorela::Shortcuts {
namespace {

class ShortcutStoreTest : public ::testing::Test {
protected:
    ShortcutStoreTest() {
        observation_ =
            env_.notifications.observe(kShortcutByNameDidChange, [this](const Notification& n) {
                const auto name = shortcutsName(n);
                changed_.push_back(name ? name->rawValue() : "?");
            });
    }

    std::optional<PropertyList> stored(const std::string& rawValue) const {
        return env_.defaults->object("Shortcuts_" + rawValue);
    }

    ShortcutsEnvironment env_;
    std::vector<std::string> changed_;
    Subscription observation_;
};

// --- Stored states ---

TEST_F(ShortcutStoreTest, TheThreeStoredStatesSurviveARestart) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    const Name panel = Name::declare("togglePanel", kOptionP);
    const Name custom = Name::declare("custom", std::nullopt);
    EXPECT_EQ(*stored("togglePlay")->string(), R"({"carbonKeyCode":49,"carbonModifiers":2048})");
    setShortcut(Shortcut(Key::f5, ModifierFlags::control), play);
    setShortcut(std::nullopt, panel);

    env_.restart();
    const Name play2 = Name::declare("togglePlay", kOptionSpace);
    const Name panel2 = Name::declare("togglePanel", kOptionP);
    const Name custom2 = Name::declare("custom", std::nullopt);
    EXPECT_EQ(play2.shortcut(), Shortcut(Key::f5, ModifierFlags::control));
    EXPECT_EQ(panel2.shortcut(), std::nullopt);
    EXPECT_EQ(stored("togglePanel"), PropertyList(false));  // the default did not come back
    EXPECT_EQ(custom2.shortcut(), std::nullopt);
    EXPECT_FALSE(stored("custom"));
    EXPECT_EQ(changed_, (std::vector<std::string>{"togglePlay", "togglePanel"}));
}

TEST_F(ShortcutStoreTest, DefaultsAreStoredOnlyWhenNothingIsStoredAndWithoutNotifying) {
    env_.defaults->set("Shortcuts_restart", true);  // unreadable, but something
    const Name restart = Name::declare("restart", kOptionR);
    EXPECT_EQ(stored("restart"), PropertyList(true));
    EXPECT_EQ(restart.shortcut(), std::nullopt);
    const Name plain("restart");  // init(rawValue:) touches nothing
    EXPECT_FALSE(plain.initialShortcut());
    EXPECT_TRUE(changed_.empty());
    EXPECT_EQ(env_.registrar.registerCallCount(), 0);
    EXPECT_FALSE(isInitialized());
    env_.loop.runUntilIdle();
    EXPECT_TRUE(isInitialized());
}

TEST_F(ShortcutStoreTest, UnreadableValuesReadAsNotSetStayUntouchedAndResetReplacesThem) {
    struct Case {
        const char* name;
        PropertyList value;
    };
    const Case cases[] = {
        {"object lacking modifiers", R"({"carbonKeyCode":15})"},
        {"Boolean true", true},
        {"number", 15},
        {"data", PlistData{'{', '}'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        env_.defaults->set("Shortcuts_restart", c.value);
        const Name restart("restart", kOptionR);
        EXPECT_EQ(getShortcut(restart), std::nullopt);
        EXPECT_EQ(env_.context->store().storedShortcut(restart).state,
                  StoredShortcut::State::notSet);
        EXPECT_EQ(stored("restart"), c.value);
        reset({restart});
        EXPECT_EQ(getShortcut(restart), kOptionR);
    }
}

// --- Changing the keys ---

TEST_F(ShortcutStoreTest, ClearingANameWithADefaultLeavesTheFalseMarkerOnce) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    play.setShortcut(std::nullopt);
    EXPECT_EQ(stored("togglePlay"), PropertyList(false));
    EXPECT_EQ(env_.context->store().storedShortcut(play).state, StoredShortcut::State::removed);
    play.setShortcut(std::nullopt);
    EXPECT_EQ(changed_, std::vector<std::string>{"togglePlay"});
}

TEST_F(ShortcutStoreTest, ClearingANameWithoutADefaultRemovesTheKeyOnce) {
    const Name custom("custom");
    setShortcut(kOptionR, custom);
    setShortcut(std::nullopt, custom);
    setShortcut(std::nullopt, custom);
    EXPECT_FALSE(stored("custom"));
    EXPECT_EQ(changed_, (std::vector<std::string>{"custom", "custom"}));
}

TEST_F(ShortcutStoreTest, ObserversRunBeforeTheChangeReturnsAndSeeTheNewValue) {
    const Name play("togglePlay");
    std::optional<Shortcut> seen;
    auto sub = env_.notifications.observe(kShortcutByNameDidChange,
                                          [&](const Notification&) { seen = play.shortcut(); });
    play.setShortcut(kOptionR);
    EXPECT_EQ(seen, kOptionR);
}

TEST_F(ShortcutStoreTest, SettingTheSameShortcutNotifiesAgainAndKeepsOneHotKey) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, [] {});
    const int firstId = env_.center().lastHotKeyId();
    play.setShortcut(kOptionSpace);
    EXPECT_EQ(changed_, std::vector<std::string>{"togglePlay"});
    EXPECT_EQ(env_.registrar.registrationCount(), 1u);
    EXPECT_EQ(env_.center().lastHotKeyId(), firstId + 1);  // released and registered anew
}

TEST_F(ShortcutStoreTest, ChangingOneOfTwoNamesKeepsTheSharedHotKey) {
    const Name a("a"), b("b");
    setShortcut(kOptionR, a);
    setShortcut(kOptionR, b);
    onKeyDown(a, [] {});
    onKeyDown(b, [] {});
    setShortcut(kOptionP, a);
    EXPECT_TRUE(env_.isRegistered(kOptionR));
    EXPECT_TRUE(env_.isRegistered(kOptionP));
    setShortcut(kOptionP, b);
    EXPECT_FALSE(env_.isRegistered(kOptionR));
}

TEST_F(ShortcutStoreTest, ResetWritesDefaultsAgainAndRemovesTheRest) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    const Name custom("custom");
    setShortcut(kOptionR, custom);
    changed_.clear();
    reset({play, custom});
    EXPECT_EQ(play.shortcut(), kOptionSpace);
    EXPECT_FALSE(stored("custom"));
    EXPECT_EQ(changed_, (std::vector<std::string>{"togglePlay", "custom"}));
}

TEST_F(ShortcutStoreTest, ResetAllRemovesEveryStoredValueIncludingMarkersAndDefaults) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    const Name panel = Name::declare("togglePanel", kOptionP);
    setShortcut(kOptionR, Name("custom"));
    panel.setShortcut(std::nullopt);
    onKeyDown(play, [] {});
    env_.defaults->set("unrelated", 1);
    changed_.clear();

    EXPECT_EQ(storedNames(),
              (std::set<Name>{Name("custom"), Name("togglePanel"), Name("togglePlay")}));
    resetAll();
    EXPECT_TRUE(storedNames().empty());
    EXPECT_EQ(changed_.size(), 3u);
    EXPECT_EQ(play.shortcut(), std::nullopt);
    EXPECT_FALSE(env_.isRegistered(kOptionSpace));
    EXPECT_TRUE(env_.defaults->object("unrelated"));

    env_.restart();  // the next start stores the default again
    EXPECT_EQ(Name::declare("togglePlay", kOptionSpace).shortcut(), kOptionSpace);
}

TEST_F(ShortcutStoreTest, NamesCompareByRawValueAlone) {
    EXPECT_EQ(Name("a", kOptionR), Name("a"));
    EXPECT_EQ(std::hash<Name>{}(Name("a", kOptionR)), std::hash<Name>{}(Name("a")));
    EXPECT_EQ(Name("a", kOptionR).defaultShortcut(), kOptionR);
    Notification withoutName{std::string(kShortcutByNameDidChange), {}};
    EXPECT_FALSE(shortcutsName(withoutName));
    Notification wrongType{std::string(kShortcutByNameDidChange), {{"name", std::string("a")}}};
    EXPECT_FALSE(shortcutsName(wrongType));
}

}  // namespace
}  // namespace vorela::Shortcuts
