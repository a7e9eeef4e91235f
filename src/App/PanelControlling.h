#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Platform/Observation/Subscription.h"
#include "Window/PanelMode.h"

namespace vorela {

// A connected screen as the panel's menus list it.
struct PanelScreen {
    std::string id;    // the screen identifier placements are keyed by
    std::string name;  // the localised name shown in menus
    bool operator==(const PanelScreen&) const = default;
};

// What the application shell needs of the panel controller: the state its menu shows
// and the few commands its menu, shortcuts and URL entry run. Kept this small so the
// shell builds and tests without a window; the panel controller implements it.
// Main thread only.
class PanelControlling {
public:
    virtual ~PanelControlling() = default;

    virtual bool isVisible() const = 0;
    virtual PanelMode mode() const = 0;  // the configured placement, not the effective one
    virtual bool didFallBackToFloating() const = 0;
    virtual std::vector<PanelScreen> availableScreens() const = 0;
    // Runs `onChange` after any of the four fields above changed, whoever changed them;
    // windows that show them refresh from it.
    [[nodiscard]] virtual Subscription observeChanges(std::function<void()> onChange) = 0;

    // Builds the panel once, places it, orders it front, marks it visible.
    virtual void show() = 0;
    virtual void toggle() = 0;
    virtual void setMode(PanelMode mode) = 0;
    virtual void moveToScreen(const std::string& screenId) = 0;
    // Applies the stored passThrough preference to the panel.
    virtual void applyPassThrough() = 0;
};

}  // namespace vorela
