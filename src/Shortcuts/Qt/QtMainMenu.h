#pragma once

#include <QPointer>
#include <vector>

#include "Shortcuts/MenuItem.h"

class QMenu;

namespace vorela::Shortcuts {

// Our own menus as the recorder's conflict check reads them: every action of the menus
// given, their submenus included, described afresh on each call; a menu that has gone is
// left out. Main thread.
class QtMainMenu final : public MainMenu {
public:
    void addMenu(QMenu& menu) { menus_.emplace_back(&menu); }
    std::vector<MenuItem> items() const override;

private:
    std::vector<QPointer<QMenu>> menus_;
};

}  // namespace vorela::Shortcuts
