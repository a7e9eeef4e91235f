#pragma once

#include "Platform/Windows/PanelWindow.h"

namespace vorela {

class AppState;
class RunLoop;

// Makes the real panel: a Qt tool window holding the prompter content bound to the
// central state. State and loop must outlive every panel made.
class QtPanelFactory final : public PanelWindowFactory {
public:
    QtPanelFactory(AppState& state, RunLoop& loop) : state_(state), loop_(loop) {}
    std::unique_ptr<PanelWindow> makePanel(const Rect& frame) override;

private:
    AppState& state_;
    RunLoop& loop_;
};

}  // namespace vorela
