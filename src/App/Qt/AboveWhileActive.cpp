#include "App/Qt/AboveWhileActive.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace vorela {

AboveWhileActive::AboveWhileActive(QWidget& window) : QObject(&window) {}

void AboveWhileActive::install(QWidget& window) {
    window.installEventFilter(new AboveWhileActive(window));
}

bool AboveWhileActive::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::WindowActivate && type != QEvent::WindowDeactivate) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // The native window's flag alone: the widget's own flags would make Qt create the
    // window again, which unmaps it.
    if (QWindow* window = widget ? widget->windowHandle() : nullptr)
        window->setFlag(Qt::WindowStaysOnTopHint, type == QEvent::WindowActivate);
    return false;
}

}  // namespace vorela
