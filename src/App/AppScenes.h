#pragma once

#include <optional>

#include "App/WindowScene.h"

namespace vorela {

// Opens, raises and closes the application's windows; the Qt shell implements it.
// Opening an identifier whose window exists raises that window. Main thread only.
class WindowPresenter {
public:
    virtual ~WindowPresenter() = default;
    // Brings the application forward, then raises its content windows shortly after.
    virtual void activateForWindow() = 0;
    // `showsDebugTab` matters to the settings window only.
    virtual void open(WindowId id, bool showsDebugTab) = 0;
    virtual void dismiss(WindowId id) = 0;
    virtual void terminate() = 0;
};

// What opens at launch: the onboarding until it is finished, else the main window when
// the user wants it at launch or when there is no tray to reach the application from.
struct LaunchInputs {
    bool didFinishOnboarding = false;
    bool openMainWindowAtLaunch = true;
    bool hasSystemTray = true;
};
std::optional<WindowId> launchTarget(const LaunchInputs& inputs);

// The window side of the application type: the one-shot launch task, the matcher-tab flag
// handed to the settings window, and the actions window contents receive.
class AppScenes {
public:
    AppScenes(WindowPresenter& presenter, bool hasSystemTray)
        : presenter_(presenter), hasSystemTray_(hasSystemTray) {}

    // Opens the launch target from the preferences, once per process.
    void runLaunchTask();
    bool didOpenMainWindow() const { return didOpenMainWindow_; }

    // Activates the application, then opens the window.
    void openWindow(WindowId id);
    // "Preferencias…": the matcher tab shows when Option (Alt) was held.
    void openSettings(bool isOptionHeld);
    bool showsMatcherTab() const { return showsMatcherTab_; }
    // The onboarding's finish action.
    void finishOnboarding();
    void terminate() { presenter_.terminate(); }

private:
    WindowPresenter& presenter_;
    bool hasSystemTray_ = true;
    bool showsMatcherTab_ = false;
    bool didOpenMainWindow_ = false;
};

}  // namespace vorela
