#include "App/PanelControllerAdapter.h"

#include <array>

#include "App/PanelController.h"

namespace vorela {

bool PanelControllerAdapter::isVisible() const { return controller_.isVisible.get(); }
PanelMode PanelControllerAdapter::mode() const { return controller_.mode.get(); }
bool PanelControllerAdapter::didFallBackToFloating() const {
    return controller_.didFallBackToFloating.get();
}

std::vector<PanelScreen> PanelControllerAdapter::availableScreens() const {
    std::vector<PanelScreen> screens;
    for (const auto& choice : controller_.availableScreens())
        screens.push_back({choice.id, choice.name});
    return screens;
}

Subscription PanelControllerAdapter::observeChanges(std::function<void()> onChange) {
    auto parts = std::make_shared<std::array<Subscription, 4>>(std::array<Subscription, 4>{
        controller_.isVisible.observe([onChange](bool) { onChange(); }),
        controller_.mode.observe([onChange](PanelMode) { onChange(); }),
        controller_.didFallBackToFloating.observe([onChange](bool) { onChange(); }),
        controller_.observeAvailableScreens(onChange),
    });
    return Subscription([parts] {
        for (auto& part : *parts) part.cancel();
    });
}

void PanelControllerAdapter::show() { controller_.show(); }
void PanelControllerAdapter::toggle() { controller_.toggle(); }
void PanelControllerAdapter::setMode(PanelMode mode) { controller_.setMode(mode); }
void PanelControllerAdapter::moveToScreen(const std::string& screenId) {
    controller_.moveToScreen(screenId);
}
void PanelControllerAdapter::applyPassThrough() { controller_.applyPassThrough(); }

}  // namespace vorela
