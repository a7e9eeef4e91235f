#include "App/Qt/QtPanelFactory.h"

#include <QMenu>

#include "App/Qt/PrompterContentWidget.h"
#include "Platform/Windows/Linux/QtPanelWindow.h"
#include "Prefs/KeyWatcher.h"
#include "Prefs/Prefs.h"
#include "Window/PanelPlacement.h"

namespace vorela {
namespace {

// Keeps the panel's blur request in step with the glass background, wherever that is
// switched (tray, panel menu, settings, another program writing the preference). A child
// of the panel: it goes with it.
class GlassFollower final : public QObject {
public:
    GlassFollower(QtPanelWindow& panel, RunLoop& loop) : QObject(&panel), keys_(loop) {
        const auto apply = [&panel] {
            panel.setBlursBackground(Prefs::get(Prefs::Keys::glassBackground()));
        };
        keys_.watch(Prefs::Keys::glassBackground(), apply);
        apply();
    }

private:
    Prefs::KeyWatcher keys_;
};

}  // namespace

std::unique_ptr<PanelWindow> QtPanelFactory::makePanel(const Rect& frame) {
    auto panel = std::make_unique<QtPanelWindow>(frame);
    new GlassFollower(*panel, loop_);
    auto* content = new PrompterContentWidget(state_, loop_);
    // Without a compositor transparent pixels show black: the window's own shape keeps the
    // rounded corners see-through.
    QObject::connect(content, &PrompterContentWidget::outlineChanged, panel.get(),
                     [window = panel.get()](const QRegion& outline) { window->setMask(outline); });
    panel->setContent(content);
    if (buildMenu_) {
        content->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(content, &QWidget::customContextMenuRequested, content,
                         [this, content](const QPoint& at) {
                             auto* menu = new QMenu(content);
                             menu->setObjectName("panelMenu");
                             menu->setAttribute(Qt::WA_DeleteOnClose);
                             StatusMenuRenderer::render(*menu, buildMenu_(), performMenu_);
                             menu->popup(content->mapToGlobal(at));
                         });
    }
    return panel;
}

void QtPanelFactory::setMenu(StatusMenuRenderer::Build build, StatusMenuRenderer::Perform perform) {
    buildMenu_ = std::move(build);
    performMenu_ = std::move(perform);
}

}  // namespace vorela
