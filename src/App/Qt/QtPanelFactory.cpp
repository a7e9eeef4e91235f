#include "App/Qt/QtPanelFactory.h"

#include "App/Qt/PrompterContentWidget.h"
#include "Platform/Windows/Linux/QtPanelWindow.h"

namespace vorela {

std::unique_ptr<PanelWindow> QtPanelFactory::makePanel(const Rect& frame) {
    auto panel = std::make_unique<QtPanelWindow>(frame);
    auto* content = new PrompterContentWidget(state_, loop_);
    // Without a compositor transparent pixels show black: the window's own shape keeps the
    // rounded corners see-through.
    QObject::connect(content, &PrompterContentWidget::outlineChanged, panel.get(),
                     [window = panel.get()](const QRegion& outline) { window->setMask(outline); });
    panel->setContent(content);
    return panel;
}

}  // namespace vorela
