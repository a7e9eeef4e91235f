#include "Shell/CaretBlinkTimeout.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

#include "Platform/Loop/RunLoop.h"

namespace vorela {

CaretBlinkTimeout::CaretBlinkTimeout(QApplication& app, RunLoop& loop)
    : app_(app), loop_(loop), flashTime_(QApplication::cursorFlashTime()) {
    lastInput_ = loop_.uptime();
    restartWait();
    app_.installEventFilter(this);
}

CaretBlinkTimeout::~CaretBlinkTimeout() {
    app_.removeEventFilter(this);
    if (!blinking_) QApplication::setCursorFlashTime(flashTime_);
}

bool CaretBlinkTimeout::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::InputMethod:
        case QEvent::FocusIn:
            // Every event of the application passes here: input only notes the time, and
            // the one waiting timer looks at it when it fires.
            lastInput_ = loop_.uptime();
            if (!blinking_) {
                blinking_ = true;
                QApplication::setCursorFlashTime(flashTime_);
                restartWait();
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void CaretBlinkTimeout::restartWait() {
    const double due = lastInput_ + kIdleSeconds - loop_.uptime();
    wait_ = loop_.schedule(std::max(due, 0.0), [this] { checkIdle(); });
}

void CaretBlinkTimeout::checkIdle() {
    if (loop_.uptime() - lastInput_ < kIdleSeconds) {
        restartWait();
        return;
    }
    // A caret shown steadily, no timer behind it.
    blinking_ = false;
    QApplication::setCursorFlashTime(0);
}

}  // namespace vorela
