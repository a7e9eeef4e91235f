#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Loop/TimerHandle.h"
#include "Platform/Observation/Observable.h"
#include "Platform/Observation/ObserverList.h"
#include "Platform/Screens/Screens.h"
#include "Platform/Windows/PanelWindow.h"
#include "Window/PanelMode.h"

namespace vorela {

class AppState;
class Input;
class RunLoop;

// Owns the prompter panel: makes it on the first show(), places it by the placement rules
// whenever the mode, the screen, the size or the screen layout changes, remembers the
// floating frame per screen, and switches click-through with the Option (Alt) key. Mirrors
// the effective placement, the notch height and click-through into the central state.
//
// Main thread only. Lives as long as the application; everything it is given must
// outlive it. The public fields are written by the controller only.
class PanelController {
public:
    // Seconds between two looks at the Option key while click-through is on.
    static constexpr double kOptionKeyPollInterval = 0.12;

    struct Services {
        AppState& appState;
        RunLoop& runLoop;
        Screens& screens;
        Input& input;
        PanelWindowFactory& windows;
    };
    struct ScreenChoice {
        std::string id;
        std::string name;
        bool operator==(const ScreenChoice&) const = default;
    };

    explicit PanelController(Services services);
    ~PanelController();
    PanelController(const PanelController&) = delete;
    PanelController& operator=(const PanelController&) = delete;
    PanelController(PanelController&&) = delete;
    PanelController& operator=(PanelController&&) = delete;

    Observable<bool> isVisible{false};
    Observable<PanelMode> mode;  // the configured placement
    Observable<bool> didFallBackToFloating{false};
    Observable<bool> hasNotchOnCurrentScreen{false};

    // Connected screens in the platform's order; observers hear every refresh.
    const std::vector<ScreenChoice>& availableScreens() const { return availableScreens_; }
    [[nodiscard]] Subscription observeAvailableScreens(std::function<void()> onChange) {
        return screensChanged_.add(std::move(onChange));
    }
    // The live panel, once shown; the visibility check reads it.
    PanelWindow* panel() const { return panel_.get(); }

    void show();
    void hide();
    void toggle();
    void setMode(PanelMode mode);
    // Stores the preferred screen (connected or not) and places the panel again.
    void moveToScreen(const std::string& screenId);
    double width() const;
    double height() const;
    // Clamped by the configured mode, stored, and the panel placed again.
    void setWidth(double width);
    void setHeight(double height);

    void refreshScreens();
    // Without a panel, or without any screen, nothing changes: the last frame stays.
    void reposition();
    // Saves the floating frame of the panel's screen; other placements save nothing.
    void persistGeometry();
    // Follows the click-through preference; the toggles call it after storing it.
    void applyPassThrough();
    bool isPollingOptionKey() const { return optionKeyTimer_.isActive(); }

private:
    void ensurePanel();
    std::optional<Screen> currentScreen() const;
    void pollOptionKey();
    void setIgnoresMouse(bool ignores);

    Services services_;
    std::vector<ScreenChoice> availableScreens_;
    ObserverList<> screensChanged_;
    std::unique_ptr<PanelWindow> panel_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Last: they reach the fields above.
    Subscription panelFrameObservation_;
    Subscription panelCloseObservation_;
    Subscription screenObservation_;
    TimerHandle optionKeyTimer_;
};

}  // namespace vorela
