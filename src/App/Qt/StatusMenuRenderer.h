#pragma once

#include <QKeySequence>
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "App/MenuItem.h"

class QMenu;

namespace vorela {

class NotificationCenter;

// A menu item's key as Qt knows it: Control is Ctrl, Option Alt and Command Super (Meta).
QKeySequence menuKeySequence(const Shortcuts::KeyboardShortcut& shortcut);

// Renders a toolkit-free menu into a QMenu, rebuilt from `build` each time it opens, and
// hands chosen actions to `perform` with whether Alt was held. While the menu is open
// the shortcut centre hears menu tracking begin and end, as it does for native menus.
// Each action's objectName is its identifier; each submenu's, its name. A key is shown
// after the title in the application's own words ("Ctrl+Q"), not in Qt's translation.
class StatusMenuRenderer final : public QObject {
    Q_OBJECT
public:
    using Build = std::function<std::vector<MenuItem>()>;
    using Perform = std::function<void(const std::string& action, bool isOptionHeld)>;

    StatusMenuRenderer(QMenu& menu, NotificationCenter& notifications, Build build,
                       Perform perform);

    // Fills the menu from `build` now.
    void rebuild();
    // Fills `menu` with `items`; chosen actions go to `perform`.
    static void render(QMenu& menu, const std::vector<MenuItem>& items, const Perform& perform);

private:
    QMenu& menu_;
    NotificationCenter& notifications_;
    Build build_;
    Perform perform_;
};

}  // namespace vorela
