#pragma once

#include <cstdint>

#include "Shortcuts/Modifiers.h"

namespace vorela::Shortcuts {

// A key event as the recorder receives it, translated from the toolkit's event at the
// view's edge. Type numbers follow the platform's event types.
struct KeyEvent {
    enum class Type : int { keyDown = 10, keyUp = 11, flagsChanged = 12, other = 0 };

    Type type = Type::other;
    int keyCode = 0;  // macOS virtual key code
    ModifierFlags modifierFlags;
    bool isRepeat = false;
};

}  // namespace vorela::Shortcuts
