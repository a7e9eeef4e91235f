#pragma once

#include <string>
#include <vector>

#include "App/PanelControlling.h"
#include "Platform/Observation/ObserverList.h"

namespace vorela::testing {

// A panel controller without a window: it keeps the state the shell reads and counts
// the commands it receives.
class FakePanelController final : public PanelControlling {
public:
    bool isVisible() const override { return isVisible_; }
    PanelMode mode() const override { return mode_; }
    bool didFallBackToFloating() const override { return didFallBack_; }
    std::vector<PanelScreen> availableScreens() const override { return screens_; }
    Subscription observeChanges(std::function<void()> onChange) override {
        return changed_.add(std::move(onChange));
    }

    void show() override {
        ++showCount;
        isVisible_ = true;
        changed_.notify();
    }
    void toggle() override {
        if (!isVisible_) return show();
        isVisible_ = false;
        changed_.notify();
    }
    void setMode(PanelMode mode) override {
        mode_ = mode;
        didFallBack_ = false;
        changed_.notify();
    }
    void moveToScreen(const std::string& screenId) override { movedTo.push_back(screenId); }
    void applyPassThrough() override { ++passThroughApplied; }

    // --- test controls ---
    void fallBackToFloating() {
        didFallBack_ = true;
        changed_.notify();
    }
    void setScreens(std::vector<PanelScreen> screens) {
        screens_ = std::move(screens);
        changed_.notify();
    }
    int showCount = 0;
    int passThroughApplied = 0;
    std::vector<std::string> movedTo;

private:
    bool isVisible_ = false;
    PanelMode mode_ = PanelMode::notch;
    bool didFallBack_ = false;
    std::vector<PanelScreen> screens_{{"HDMI-1", "DELL U2720Q"}};
    ObserverList<> changed_;
};

}  // namespace vorela::testing
