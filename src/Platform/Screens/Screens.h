#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Foundation/Geometry.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// One connected display as the window layer sees it, in desktop points (origin at the
// primary screen's bottom-left corner, y up).
struct Screen {
    // The display's own stable number or name, as text; nothing when it has none.
    std::optional<std::string> deviceIdentifier;
    // The name shown to the user.
    std::string localizedName;
    Rect frame;
    // The frame without the desktop's menu bar, panels and docks.
    Rect visibleFrame;
    // Height of the strip at the top hidden by a camera housing; 0 when there is none.
    double safeAreaTopInset = 0;
    // The usable strips of the top bar left and right of a camera housing, if any.
    std::optional<Rect> auxiliaryTopLeftArea;
    std::optional<Rect> auxiliaryTopRightArea;

    bool operator==(const Screen&) const = default;
};

// The connected displays. Main thread only. The observer runs on the main thread after
// screens are added, removed, moved or resized; it stops when the subscription goes.
class Screens {
public:
    virtual ~Screens() = default;
    // In the platform's order; the primary screen need not come first.
    virtual std::vector<Screen> screens() const = 0;
    // The screen the user is working on; nothing when no screen is connected.
    virtual std::optional<Screen> mainScreen() const = 0;
    [[nodiscard]] virtual Subscription observeChanges(std::function<void()> onChange) = 0;
};

}  // namespace vorela
