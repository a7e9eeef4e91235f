#include "Window/Qt/QtPanelFactory.h"

#include "Platform/Windows/Linux/QtPanelWindow.h"
#include "Window/Qt/PrompterContentWidget.h"

namespace vorela {

std::unique_ptr<PanelWindow> QtPanelFactory::makePanel(const Rect& frame) {
    auto panel = std::make_unique<QtPanelWindow>(frame);
    panel->setContent(new PrompterContentWidget(state_, loop_));
    return panel;
}

}  // namespace vorela
