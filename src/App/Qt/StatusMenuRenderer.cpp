#include "App/Qt/StatusMenuRenderer.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>

#include "Platform/Observation/NotificationCenter.h"
#include "Shortcuts/Shortcut.h"

namespace vorela {
namespace {

using Shortcuts::EventModifiers;

}  // namespace

QKeySequence menuKeySequence(const Shortcuts::KeyboardShortcut& shortcut) {
    int combination = QChar(static_cast<char16_t>(shortcut.key.character)).toUpper().unicode();
    if (shortcut.modifiers.contains(EventModifiers::control)) combination |= Qt::CTRL;
    if (shortcut.modifiers.contains(EventModifiers::option)) combination |= Qt::ALT;
    if (shortcut.modifiers.contains(EventModifiers::shift)) combination |= Qt::SHIFT;
    if (shortcut.modifiers.contains(EventModifiers::command)) combination |= Qt::META;
    return QKeySequence(combination);
}

namespace {

void addItem(QMenu& menu, const MenuItem& item, const StatusMenuRenderer::Perform& perform) {
    const QString title = QString::fromStdString(item.title);
    switch (item.kind) {
        case MenuItem::Kind::separator:
            menu.addSeparator();
            return;
        case MenuItem::Kind::submenu: {
            QMenu* sub = menu.addMenu(title);
            sub->setObjectName(QString::fromStdString(item.action));
            StatusMenuRenderer::render(*sub, item.submenu, perform);
            return;
        }
        case MenuItem::Kind::label:
        case MenuItem::Kind::action:
        case MenuItem::Kind::toggle:
            break;
    }
    // After a tab, the menu draws the text as the item's key instead of Qt's own wording.
    QAction* action = menu.addAction(
        item.keyEquivalent
            ? title + '\t' +
                  QString::fromStdString(Shortcuts::presentableDescription(*item.keyEquivalent))
            : title);
    action->setObjectName(QString::fromStdString(item.action));
    action->setEnabled(item.isEnabled);
    action->setCheckable(item.kind == MenuItem::Kind::toggle || item.isChecked);
    action->setChecked(item.isChecked);
    if (item.keyEquivalent) {
        action->setShortcut(menuKeySequence(*item.keyEquivalent));
        // A hint only: the global shortcut, not the menu, owns the keys.
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    if (item.kind == MenuItem::Kind::label) return;
    const std::string id = item.action;
    QObject::connect(action, &QAction::triggered, &menu, [perform, id] {
        const bool isAltHeld = QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier;
        if (perform) perform(id, isAltHeld);
    });
}

}  // namespace

StatusMenuRenderer::StatusMenuRenderer(QMenu& menu, NotificationCenter& notifications, Build build,
                                       Perform perform)
    : QObject(&menu),
      menu_(menu),
      notifications_(notifications),
      build_(std::move(build)),
      perform_(std::move(perform)) {
    connect(&menu_, &QMenu::aboutToShow, this, [this] {
        notifications_.post(kMenuDidBeginTrackingNotification);
        rebuild();
    });
    connect(&menu_, &QMenu::aboutToHide, this,
            [this] { notifications_.post(kMenuDidEndTrackingNotification); });
    rebuild();
}

void StatusMenuRenderer::rebuild() {
    if (build_) render(menu_, build_(), perform_);
}

void StatusMenuRenderer::render(QMenu& menu, const std::vector<MenuItem>& items,
                                const Perform& perform) {
    const auto submenus = menu.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    menu.clear();
    // clear() drops the submenus' entries but not the submenus, which the menu parents.
    for (QMenu* sub : submenus) {
        sub->setObjectName(QString());
        sub->deleteLater();
    }
    for (const auto& item : items) addItem(menu, item, perform);
}

}  // namespace vorela
