#pragma once

#include <optional>
#include <string>

#include "Shortcuts/Key.h"
#include "Shortcuts/KeyEquivalent.h"

namespace vorela::Shortcuts {

// Keys without a printable character, with the texts and key equivalents they show as.
// Internal to the shortcut subsystem.
enum class SpecialKey {
    returnKey,
    deleteKey,
    deleteForward,
    end,
    escape,
    help,
    home,
    space,
    tab,
    pageUp,
    pageDown,
    upArrow,
    rightArrow,
    downArrow,
    leftArrow,
    f1,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
    f13,
    f14,
    f15,
    f16,
    f17,
    f18,
    f19,
    f20,
    keypad0,
    keypad1,
    keypad2,
    keypad3,
    keypad4,
    keypad5,
    keypad6,
    keypad7,
    keypad8,
    keypad9,
    keypadClear,
    keypadDecimal,
    keypadDivide,
    keypadEnter,
    keypadEquals,
    keypadMinus,
    keypadMultiply,
    keypadPlus,
};

inline constexpr int kSpecialKeyCount = 53;

// keyToSpecialKeyMapping: the special key for a key code, nothing for a character key.
std::optional<SpecialKey> specialKeyFor(Key key);
// The key code each special key was named after.
Key keyFor(SpecialKey special);

// Display text ("↩", "F5", "5⃣"; Space reads its text from the subsystem's bundle).
std::string presentableDescription(SpecialKey special);
// The menu item key equivalent as UTF-8; nothing for keypad keys.
std::optional<std::string> menuItemKeyEquivalent(SpecialKey special);
// Nothing for keypad keys.
std::optional<KeyEquivalent> declarativeKeyEquivalent(SpecialKey special);

}  // namespace vorela::Shortcuts
