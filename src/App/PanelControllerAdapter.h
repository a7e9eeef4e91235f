#pragma once

#include "App/PanelControlling.h"

namespace vorela {

class PanelController;

// The panel controller as the application shell sees it (menu, shortcuts, URL entry).
// The controller keeps its observable fields for the views; this answers the shell's
// questions from them. The controller must outlive the adapter.
class PanelControllerAdapter final : public PanelControlling {
public:
    explicit PanelControllerAdapter(PanelController& controller) : controller_(controller) {}

    bool isVisible() const override;
    PanelMode mode() const override;
    bool didFallBackToFloating() const override;
    std::vector<PanelScreen> availableScreens() const override;
    [[nodiscard]] Subscription observeChanges(std::function<void()> onChange) override;

    void show() override;
    void toggle() override;
    void setMode(PanelMode mode) override;
    void moveToScreen(const std::string& screenId) override;
    void applyPassThrough() override;

private:
    PanelController& controller_;
};

}  // namespace vorela
