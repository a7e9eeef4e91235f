#include "Window/PanelControllerAdapter.h"

#include "Window/PanelController.h"

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

void PanelControllerAdapter::show() { controller_.show(); }
void PanelControllerAdapter::toggle() { controller_.toggle(); }
void PanelControllerAdapter::setMode(PanelMode mode) { controller_.setMode(mode); }
void PanelControllerAdapter::moveToScreen(const std::string& screenId) {
    controller_.moveToScreen(screenId);
}
void PanelControllerAdapter::applyPassThrough() { controller_.applyPassThrough(); }

}  // namespace vorela
