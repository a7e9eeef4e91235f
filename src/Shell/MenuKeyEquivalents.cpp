#include "Shell/MenuKeyEquivalents.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

#include "App/Qt/StatusMenuRenderer.h"
#include "Shortcuts/Context.h"

namespace vorela {
namespace {

const MenuItem* itemFor(const std::vector<MenuItem>& items, const QKeySequence& pressed) {
    for (const auto& item : items) {
        if (const MenuItem* inner = itemFor(item.submenu, pressed)) return inner;
        // A global shortcut's keys are its own, whatever modifiers it was given.
        if (!item.keyEquivalent || !item.isEnabled || item.boundName) continue;
        if (!item.keyEquivalent->modifiers.contains(Shortcuts::EventModifiers::control)) continue;
        if (menuKeySequence(*item.keyEquivalent) == pressed) return &item;
    }
    return nullptr;
}

}  // namespace

MenuKeyEquivalents::MenuKeyEquivalents(QObject& application, Shortcuts::Context& shortcuts,
                                       Items items, Perform perform)
    : shortcuts_(shortcuts), items_(std::move(items)), perform_(std::move(perform)) {
    application.installEventFilter(this);  // Qt removes it when this object goes
}

bool MenuKeyEquivalents::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    // A recorder that records pauses the shortcuts: every key is its own then.
    if (!QApplication::activeWindow() || shortcuts_.registry().isPaused()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return false;
    const QKeySequence pressed(key->keyCombination());
    const std::vector<MenuItem> items = items_();
    const MenuItem* item = itemFor(items, pressed);
    if (!item) return false;
    perform_(item->action);
    return true;
}

}  // namespace vorela
