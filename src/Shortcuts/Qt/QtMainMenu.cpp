#include "Shortcuts/Qt/QtMainMenu.h"

#include <QAction>
#include <QMenu>

#include "Shortcuts/Qt/ActionShortcutBinding.h"
#include "Shortcuts/Qt/QtKeys.h"

namespace vorela::Shortcuts {
namespace {

std::vector<MenuItem> describe(const QMenu& menu) {
    std::vector<MenuItem> items;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) continue;
        MenuItem item;
        // "&" marks the mnemonic, not part of the title.
        item.title = action->text().remove(QLatin1Char('&')).toStdString();
        if (const auto equivalent = menuKeyEquivalentFor(action->shortcut())) {
            item.keyEquivalent = equivalent->keyEquivalent;
            item.modifierMask = equivalent->modifierMask;
        }
        item.boundName = boundName(*action);
        if (const QMenu* submenu = action->menu()) item.submenu = describe(*submenu);
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::vector<MenuItem> QtMainMenu::items() const {
    std::vector<MenuItem> items;
    for (const auto& menu : menus_) {
        if (!menu) continue;
        auto described = describe(*menu);
        items.insert(items.end(), described.begin(), described.end());
    }
    return items;
}

}  // namespace vorela::Shortcuts
