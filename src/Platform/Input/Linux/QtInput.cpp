#include "Platform/Input/Linux/QtInput.h"

#include <QGuiApplication>

namespace vorela {

bool QtInput::isOptionKeyHeld() const {
    // queryKeyboardModifiers() reads the server's pointer state, not the last event seen.
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
}

}  // namespace vorela
