#pragma once

#include "App/Qt/StatusMenuRenderer.h"
#include "Platform/Windows/PanelWindow.h"

namespace vorela {

class AppState;
class RunLoop;

// Makes the real panel: a Qt tool window holding the prompter content bound to the
// central state, with the application's menu on a right click once one is given. State
// and loop must outlive every panel made, and the factory too.
class QtPanelFactory final : public PanelWindowFactory {
public:
    QtPanelFactory(AppState& state, RunLoop& loop) : state_(state), loop_(loop) {}
    std::unique_ptr<PanelWindow> makePanel(const Rect& frame) override;

    // The menu of panels made from now on, built afresh each time it opens: the way out of
    // a full-screen panel that covers the tray.
    void setMenu(StatusMenuRenderer::Build build, StatusMenuRenderer::Perform perform);

private:
    AppState& state_;
    RunLoop& loop_;
    StatusMenuRenderer::Build buildMenu_;
    StatusMenuRenderer::Perform performMenu_;
};

}  // namespace vorela
