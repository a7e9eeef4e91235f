#include "App/AppScenes.h"

#include "App/AppState.h"
#include "Prefs/Prefs.h"

namespace vorela {

std::optional<WindowId> launchTarget(const LaunchInputs& inputs) {
    if (!inputs.didFinishOnboarding) return WindowId::onboarding;
    // Without a tray nothing else would show that the application is running.
    if (inputs.openMainWindowAtLaunch || !inputs.hasSystemTray) return WindowId::main;
    return std::nullopt;
}

void AppScenes::runLaunchTask() {
    if (didOpenMainWindow_) return;
    didOpenMainWindow_ = true;
    const auto target = launchTarget({
        .didFinishOnboarding = Prefs::get(Prefs::Keys::didFinishOnboarding()),
        .openMainWindowAtLaunch = Prefs::get(Prefs::Keys::openMainWindowAtLaunch()),
        .hasSystemTray = hasSystemTray_,
    });
    if (target) openWindow(*target);
}

void AppScenes::openWindow(WindowId id) {
    presenter_.activateForWindow();
    presenter_.open(id, showsMatcherTab_);
}

void AppScenes::openSettings(bool isOptionHeld) {
    showsMatcherTab_ = isOptionHeld;
    openWindow(WindowId::settings);
}

void AppScenes::finishOnboarding() {
    presenter_.dismiss(WindowId::onboarding);
    openWindow(WindowId::main);
}

}  // namespace vorela
