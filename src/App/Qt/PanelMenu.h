#pragma once

#include <QMenu>

namespace vorela {

class AppState;
class PanelControlling;

// The toolbar's "Panel" menu: the placement, the mirroring, the screen (only with two
// or more) and click-through. Rebuilt from the live state by refresh(), which the window
// calls whenever the panel or the theme changes and before the menu opens.
class PanelMenu final : public QMenu {
    Q_OBJECT

public:
    PanelMenu(AppState& appState, PanelControlling& panel, QWidget* parent = nullptr);
    void refresh();

private:
    AppState& appState_;
    PanelControlling& panel_;
};

}  // namespace vorela
