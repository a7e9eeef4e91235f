#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Observation/ObserverList.h"
#include "Platform/Screens/Screens.h"

namespace vorela {

// Screens a test lays out, with or without a camera notch.
class FakeScreens final : public Screens {
public:
    std::vector<Screen> screens() const override { return screens_; }
    std::optional<Screen> mainScreen() const override {
        if (mainIndex_ < screens_.size()) return screens_[mainIndex_];
        return std::nullopt;
    }
    [[nodiscard]] Subscription observeChanges(std::function<void()> onChange) override {
        return observers_.add(std::move(onChange));
    }

    // --- test controls ---
    // A plain screen; with an identifier it behaves like a display with a device number.
    static Screen makeScreen(std::string name, Rect frame, std::optional<std::string> id = {},
                             double menuBarHeight = 25) {
        Screen s;
        s.deviceIdentifier = std::move(id);
        s.localizedName = std::move(name);
        s.frame = frame;
        s.visibleFrame = {frame.x, frame.y, frame.width, frame.height - menuBarHeight};
        return s;
    }
    // A screen whose top edge has a camera housing notchWidth wide (centred) and
    // notchHeight high, with the top-bar strips on either side.
    static Screen makeNotchedScreen(std::string name, Rect frame, double notchWidth,
                                    double notchHeight, std::optional<std::string> id = {}) {
        Screen s = makeScreen(std::move(name), frame, std::move(id), notchHeight);
        const double side = (frame.width - notchWidth) / 2;
        s.safeAreaTopInset = notchHeight;
        s.auxiliaryTopLeftArea = Rect{frame.x, frame.maxY() - notchHeight, side, notchHeight};
        s.auxiliaryTopRightArea =
            Rect{frame.maxX() - side, frame.maxY() - notchHeight, side, notchHeight};
        return s;
    }
    // Replaces the layout and tells the observers, as a display change would.
    void setScreens(std::vector<Screen> screens, std::size_t mainIndex = 0) {
        screens_ = std::move(screens);
        mainIndex_ = mainIndex;
        observers_.notify();
    }
    // No main screen, as when the platform reports none.
    void clearMainScreen() { mainIndex_ = screens_.size(); }

private:
    std::vector<Screen> screens_;
    std::size_t mainIndex_ = 0;
    ObserverList<> observers_;
};

}  // namespace vorela
