#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "App/AppScenes.h"
#include "App/AppState.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Prefs/Prefs.h"

namespace vorela {
namespace {

// Records what the shell asked of the window system, in order.
class RecordingPresenter final : public WindowPresenter {
public:
    void activateForWindow() override { calls.push_back("activate"); }
    void open(WindowId id, bool showsDebugTab) override {
        calls.push_back("open " + std::string(windowScene(id).identifier) +
                        (showsDebugTab ? " +debug" : ""));
    }
    void dismiss(WindowId id) override {
        calls.push_back("dismiss " + std::string(windowScene(id).identifier));
    }
    void terminate() override { calls.push_back("terminate"); }
    std::vector<std::string> calls;
};

class AppScenesTest : public ::testing::Test {
protected:
    AppScenesTest() : previous_(UserDefaults::standard()) { UserDefaults::setStandard(defaults_); }
    ~AppScenesTest() override { UserDefaults::setStandard(previous_); }

    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> previous_;
    RecordingPresenter presenter_;
};

TEST(LaunchTargetTest, OnboardingFirstThenTheMainWindowAsPreferredOrWithoutATray) {
    struct Case {
        const char* name;
        LaunchInputs inputs;
        std::optional<WindowId> expected;
    };
    const Case cases[] = {
        {"first run", {false, true, true}, WindowId::onboarding},
        {"first run, main window not wanted", {false, false, true}, WindowId::onboarding},
        {"first run without a tray", {false, false, false}, WindowId::onboarding},
        {"onboarded, main window wanted", {true, true, true}, WindowId::main},
        {"onboarded, tray only", {true, false, true}, std::nullopt},
        {"onboarded, no tray to live in", {true, false, false}, WindowId::main},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(launchTarget(c.inputs), c.expected);
    }
}

TEST(WindowSceneTest, EveryIdentifierNamesItsOwnWindowWithTitleAndSize) {
    struct Case {
        WindowId id;
        const char* identifier;
        const char* title;
        double width;
        std::optional<double> height;
        bool isResizable;
    };
    const Case cases[] = {
        {WindowId::about, "about", "Acerca de Vorela", 380, std::nullopt, false},
        {WindowId::settings, "settings", "Preferencias", 700, 480, false},
        {WindowId::onboarding, "onboarding", "Bienvenido a Vorela", 720, 560, false},
        {WindowId::main, "main", "Vorela", 860, 560, true},
        {WindowId::voiceDebug, "voice-debug", "Diagnóstico de voz", 520, 420, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identifier);
        const WindowScene& scene = windowScene(c.id);
        EXPECT_EQ(scene.id, c.id);
        EXPECT_EQ(windowIdFrom(c.identifier), c.id);
        EXPECT_EQ(scene.title, c.title);
        EXPECT_EQ(scene.widthPoints, c.width);
        EXPECT_EQ(scene.heightPoints, c.height);
        EXPECT_EQ(scene.isResizable, c.isResizable);
    }
    EXPECT_EQ(windowIdFrom("Main"), std::nullopt);
    EXPECT_EQ(windowIdFrom("voiceDebug"), std::nullopt);
}

TEST_F(AppScenesTest, TheLaunchTaskReadsThePreferencesAndOpensOnlyOnce) {
    AppScenes scenes(presenter_, true);
    scenes.runLaunchTask();
    Prefs::set(Prefs::Keys::didFinishOnboarding(), true);
    scenes.runLaunchTask();  // the tray label rebuilt: nothing opens again
    EXPECT_EQ(presenter_.calls, (std::vector<std::string>{"activate", "open onboarding"}));

    AppScenes nextStart(presenter_, true);
    presenter_.calls.clear();
    nextStart.runLaunchTask();
    EXPECT_EQ(presenter_.calls, (std::vector<std::string>{"activate", "open main"}));

    Prefs::set(Prefs::Keys::openMainWindowAtLaunch(), false);
    AppScenes trayOnly(presenter_, true);
    presenter_.calls.clear();
    trayOnly.runLaunchTask();
    EXPECT_TRUE(presenter_.calls.empty());
    EXPECT_TRUE(trayOnly.didOpenMainWindow());
}

TEST_F(AppScenesTest, AltOnPreferencesShowsTheMatcherTabUntilTheNextPlainOpen) {
    AppScenes scenes(presenter_, true);
    scenes.openSettings(true);
    EXPECT_TRUE(scenes.showsMatcherTab());
    scenes.openSettings(false);
    EXPECT_FALSE(scenes.showsMatcherTab());
    EXPECT_EQ(presenter_.calls, (std::vector<std::string>{"activate", "open settings +debug",
                                                          "activate", "open settings"}));
}

TEST_F(AppScenesTest, FinishingTheOnboardingClosesItAndBringsUpTheMainWindow) {
    AppScenes scenes(presenter_, true);
    scenes.finishOnboarding();
    EXPECT_EQ(presenter_.calls,
              (std::vector<std::string>{"dismiss onboarding", "activate", "open main"}));
}

}  // namespace
}  // namespace vorela
