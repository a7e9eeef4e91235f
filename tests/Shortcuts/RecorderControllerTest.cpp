#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Shortcuts/RecorderController.h"
#include "Shortcuts/RecorderStatus.h"
#include "ShortcutsEnvironment.h"

namespace vorela::Shortcuts {
namespace {

// Stands in for the control: focus changes call back into the controller as the widget's
// focus events do; alerts answer from a script.
struct FakeControl final : RecorderDelegate {
    RecorderController* controller = nullptr;
    std::vector<RecorderAlert> alerts;
    int answer = kFirstButtonResponse;
    int beeps = 0;

    void endEditing() override { controller->endRecording(); }
    void beginEditing() override { controller->beginRecording(); }
    void beep() override { ++beeps; }
    int runAlert(const RecorderAlert& alert) override {
        alerts.push_back(alert);
        return answer;
    }
    void displayChanged() override {}
};

struct StaticMenu final : MainMenu {
    std::vector<MenuItem> menu;
    std::vector<MenuItem> items() const override { return menu; }
};

KeyEvent keyDown(int keyCode, ModifierFlags flags = {}) {
    return KeyEvent{KeyEvent::Type::keyDown, keyCode, flags, false};
}

class RecorderControllerTest : public ::testing::Test {
protected:
    std::unique_ptr<RecorderController> recorderFor(const Name& name, FakeControl& control) {
        auto recorder = std::make_unique<RecorderController>(
            *env_.context, name, [this](std::optional<Shortcut> s) { changes_.push_back(s); },
            control);
        control.controller = recorder.get();
        return recorder;
    }

    ShortcutsEnvironment env_;
    std::vector<std::optional<Shortcut>> changes_;
};

// --- The decision list ---

TEST_F(RecorderControllerTest, EachKeyPressIsDecidedByTheDecisionList) {
    const ModifierFlags none;
    const ModifierFlags option = ModifierFlags::option;
    const ModifierFlags command = ModifierFlags::command;
    struct Case {
        const char* name;
        KeyEvent event;
        KeyDecision decision;
        std::optional<Shortcut> stored;  // what the name stores afterwards
        bool stillRecording;
        int beeps;
    };
    const std::optional<Shortcut> before = kOptionP;
    const Case cases[] = {
        {"A alone beeps", keyDown(0), KeyDecision::swallow, before, true, 1},
        {"Shift-A beeps", keyDown(0, ModifierFlags::shift), KeyDecision::swallow, before, true, 1},
        {"Caps Lock does not count as a modifier", keyDown(0, ModifierFlags::capsLock),
         KeyDecision::swallow, before, true, 1},
        {"F5 alone is recorded", keyDown(96), KeyDecision::swallow, Shortcut(Key::f5, none), false,
         0},
        {"Shift-F5 is recorded", keyDown(96, ModifierFlags::shift), KeyDecision::swallow,
         Shortcut(Key::f5, ModifierFlags::shift), false, 0},
        {"Option-R is recorded", keyDown(15, option), KeyDecision::swallow, kOptionR, false, 0},
        {"Function is dropped from a recorded shortcut",
         keyDown(0, option | ModifierFlags::function), KeyDecision::swallow,
         Shortcut(Key::a, option), false, 0},
        {"Tab moves the focus on", keyDown(48), KeyDecision::passOn, before, false, 0},
        {"Escape cancels", keyDown(53), KeyDecision::swallow, before, false, 0},
        {"Delete clears and keeps recording", keyDown(51), KeyDecision::swallow, std::nullopt, true,
         0},
        {"Forward Delete clears", keyDown(117), KeyDecision::swallow, std::nullopt, true, 0},
        {"Command-Escape is a shortcut", keyDown(53, command), KeyDecision::swallow,
         Shortcut(Key::escape, command), false, 0},
        {"Command-Delete is a shortcut", keyDown(51, command), KeyDecision::swallow,
         Shortcut(Key::deleteKey, command), false, 0},
    };
    const Name name = Name::declare("togglePanel", kOptionP);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setShortcut(kOptionP, name);
        FakeControl control;
        auto recorder = recorderFor(name, control);
        recorder->beginRecording();
        EXPECT_EQ(recorder->handleKeyDown(c.event), c.decision);
        EXPECT_EQ(getShortcut(name), c.stored);
        EXPECT_EQ(recorder->isRecording(), c.stillRecording);
        EXPECT_EQ(control.beeps, c.beeps);
        EXPECT_TRUE(control.alerts.empty());
        EXPECT_EQ(recorder->text(),
                  c.stored ? c.stored->presentableDescription(&env_.keyboard) : "");
    }
}

TEST_F(RecorderControllerTest, DeleteWithNothingShownDoesNothing) {
    const Name name("custom");
    FakeControl control;
    auto recorder = recorderFor(name, control);
    recorder->beginRecording();
    EXPECT_EQ(recorder->handleKeyDown(keyDown(51)), KeyDecision::swallow);
    EXPECT_TRUE(changes_.empty());
    EXPECT_TRUE(recorder->isRecording());
}

// --- Conflicts ---

TEST_F(RecorderControllerTest, EachKindOfHolderIsTreatedByItsPolicy) {
    auto menu = std::make_shared<StaticMenu>();
    menu->menu = {MenuItem{"Mostrar panel", "p", ModifierFlags::option, "togglePanel", {}},
                  MenuItem{"Guardar", "s", ModifierFlags::command, std::nullopt, {}}};
    env_.context->setMainMenu(menu);
    env_.registrar.holdByAnotherProgram(15, 0x800);  // Option-R: the desktop holds it
    const Name held = Name::declare("restart", kOptionR);
    onKeyDown(held, [] {});  // the refused grab makes it known
    const Shortcut commandS(Key::s, ModifierFlags::command);

    struct Case {
        const char* name;
        ConflictPolicy policy;
        Shortcut pressed;
        int answer;
        std::vector<std::string> alertTitles;
        std::size_t buttons;
        bool stored;
    };
    const std::string menuTitle = "Este atajo ya lo usa el elemento de menú «Guardar».";
    const std::string systemTitle = "Este atajo ya lo usa el escritorio u otra aplicación.";
    const Case cases[] = {
        {"menu item blocks", {}, commandS, kSecondButtonResponse, {menuTitle}, 0, false},
        {"menu item allowed", ConflictPolicy::allowAll(), commandS, 0, {}, 0, true},
        {"system warns, first button keeps nothing",
         {},
         kOptionR,
         kFirstButtonResponse,
         {systemTitle},
         2,
         false},
        {"system warns, second button uses it",
         {},
         kOptionR,
         kSecondButtonResponse,
         {systemTitle},
         2,
         true},
        {"system blocked",
         {ConflictBehavior::block, ConflictBehavior::block, ConflictBehavior::block},
         kOptionR,
         kSecondButtonResponse,
         {systemTitle},
         0,
         false},
        {"system allowed", ConflictPolicy::allowAll(), kOptionR, 0, {}, 0, true},
    };
    const Name name = Name::declare("faster", std::nullopt);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setShortcut(std::nullopt, name);
        FakeControl control;
        control.answer = c.answer;
        auto recorder = recorderFor(name, control);
        recorder->setConflictPolicy(c.policy);
        recorder->beginRecording();
        recorder->handleKeyDown(keyDown(c.pressed.carbonKeyCode, c.pressed.modifiers()));
        std::vector<std::string> titles;
        for (const auto& alert : control.alerts) titles.push_back(alert.title);
        EXPECT_EQ(titles, c.alertTitles);
        if (!control.alerts.empty()) {
            EXPECT_EQ(control.alerts.front().buttons.size(), c.buttons);
            // After an alert the control has the focus again and records.
            EXPECT_EQ(recorder->isRecording(), !c.stored);
        }
        EXPECT_EQ(getShortcut(name), c.stored ? std::optional(c.pressed) : std::nullopt);
    }
}

TEST_F(RecorderControllerTest, TheItemShowingTheKeysBeingRecordedAgainIsNoConflict) {
    auto menu = std::make_shared<StaticMenu>();
    menu->menu = {MenuItem{"Mostrar panel", "p", ModifierFlags::option, "togglePanel", {}}};
    env_.context->setMainMenu(menu);
    const Name panel = Name::declare("togglePanel", kOptionP);
    const Name other = Name::declare("nextBookmark", std::nullopt);

    FakeControl own;
    auto recorder = recorderFor(panel, own);
    recorder->beginRecording();
    recorder->handleKeyDown(keyDown(35, ModifierFlags::option));
    EXPECT_TRUE(own.alerts.empty());
    EXPECT_EQ(changes_, (std::vector<std::optional<Shortcut>>{kOptionP}));

    FakeControl forOther;
    auto otherRecorder = recorderFor(other, forOther);
    otherRecorder->beginRecording();
    otherRecorder->handleKeyDown(keyDown(35, ModifierFlags::option));
    ASSERT_EQ(forOther.alerts.size(), 1u);
    EXPECT_EQ(forOther.alerts[0].title,
              "Este atajo ya lo usa el elemento de menú «Mostrar panel».");
    EXPECT_FALSE(getShortcut(other));

    FakeControl forBinding;
    RecorderController binding(*env_.context, std::optional<Shortcut>(kOptionP), {}, forBinding);
    forBinding.controller = &binding;
    binding.beginRecording();
    binding.handleKeyDown(keyDown(35, ModifierFlags::option));
    EXPECT_EQ(forBinding.alerts.size(), 1u);
}

TEST_F(RecorderControllerTest, F12AloneIsNeverASystemConflictAndValidationRunsLast) {
    env_.registrar.holdByAnotherProgram(111, 0);
    const Name f12Name = Name::declare("f12", Shortcut(Key::f12, ModifierFlags{}));
    onKeyDown(f12Name, [] {});
    ASSERT_FALSE(env_.center().systemShortcuts().empty());
    const Name name("custom");
    FakeControl control;
    auto recorder = recorderFor(name, control);
    recorder->setValidateShortcut([](const Shortcut& s) {
        return s.carbonKeyCode == Key::f12.rawValue
                   ? ValidationResult::allow()
                   : ValidationResult::disallow("No con esa tecla.");
    });
    recorder->beginRecording();
    recorder->handleKeyDown(keyDown(111));
    EXPECT_TRUE(control.alerts.empty());
    EXPECT_EQ(getShortcut(name), Shortcut(Key::f12, ModifierFlags{}));

    recorder->beginRecording();
    recorder->setConflictPolicy(ConflictPolicy::allowAll());
    recorder->handleKeyDown(keyDown(96));
    ASSERT_EQ(control.alerts.size(), 1u);
    EXPECT_EQ(control.alerts[0].title, "No con esa tecla.");
    EXPECT_EQ(getShortcut(name), Shortcut(Key::f12, ModifierFlags{}));
}

// --- Pause, clearing and outside changes ---

TEST_F(RecorderControllerTest, EachRecorderOwnsItsPauseAndHotKeysAreFreeWhileAnyRecords) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    int plays = 0;
    onKeyDown(play, [&] { ++plays; });
    std::vector<bool> statuses;
    auto observing = env_.notifications.observe(
        kRecorderActiveStatusDidChange,
        [&](const Notification& n) { statuses.push_back(recorderIsActive(n)); });
    FakeControl first, second;
    auto a = recorderFor(Name("a"), first);
    auto b = recorderFor(Name("b"), second);
    a->beginRecording();
    EXPECT_FALSE(env_.isRegistered(kOptionSpace));
    b->beginRecording();
    b->endRecording();  // the other recorder is still paused
    EXPECT_TRUE(isPaused());
    env_.tap(kOptionSpace);
    EXPECT_EQ(plays, 0);
    a->endRecording();
    EXPECT_FALSE(isPaused());
    EXPECT_TRUE(env_.isRegistered(kOptionSpace));
    env_.tap(kOptionSpace);
    EXPECT_EQ(plays, 1);
    EXPECT_EQ(statuses, (std::vector<bool>{true, true, true, false}));
    // A recorder destroyed while recording gives its pause back.
    a->beginRecording();
    a.reset();
    EXPECT_FALSE(isPaused());
}

TEST_F(RecorderControllerTest, ClearingStoresTheMarkerOrRemovesTheKeyAndKeepsRecording) {
    const Name withDefault = Name::declare("togglePlay", kOptionSpace);
    const Name withoutDefault("custom");
    setShortcut(kOptionR, withoutDefault);
    for (const Name* name : {&withDefault, &withoutDefault}) {
        SCOPED_TRACE(name->rawValue());
        changes_.clear();
        FakeControl control;
        auto recorder = recorderFor(*name, control);
        recorder->beginRecording();
        recorder->clear();
        EXPECT_EQ(changes_, (std::vector<std::optional<Shortcut>>{std::nullopt}));
        EXPECT_TRUE(recorder->isRecording());
        EXPECT_FALSE(recorder->isClearButtonVisible());
    }
    EXPECT_EQ(env_.defaults->object("Shortcuts_togglePlay"), PropertyList(false));
    EXPECT_FALSE(env_.defaults->object("Shortcuts_custom"));

    FakeControl control;
    RecorderController binding(
        *env_.context, std::optional<Shortcut>(kOptionR), [this](auto s) { changes_.push_back(s); },
        control);
    control.controller = &binding;
    changes_.clear();
    binding.clear();
    EXPECT_FALSE(binding.shortcut());
    EXPECT_EQ(changes_, (std::vector<std::optional<Shortcut>>{std::nullopt}));
}

TEST_F(RecorderControllerTest, AValueChangedElsewhereIsShownAndWritesDoNotCallBack) {
    const Name name = Name::declare("restart", kOptionR);
    FakeControl control;
    auto recorder = recorderFor(name, control);
    EXPECT_EQ(recorder->text(), "Alt+R");
    EXPECT_EQ(recorder->placeholder(), "Grabar atajo");
    setShortcut(kOptionP, name);
    EXPECT_EQ(recorder->text(), "Alt+P");
    recorder->setShortcut(std::nullopt);
    EXPECT_EQ(recorder->text(), "");
    EXPECT_EQ(env_.defaults->object("Shortcuts_restart"), PropertyList(false));
    recorder->beginRecording();
    EXPECT_EQ(recorder->placeholder(), "Pulsá el atajo");
    EXPECT_TRUE(changes_.empty());
}

}  // namespace
}  // namespace vorela::Shortcuts
