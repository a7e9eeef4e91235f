#pragma once

#include <compare>

#include "Shortcuts/Modifiers.h"

namespace vorela::Shortcuts {

// A key equivalent of the declarative toolkit: one character, where the keys without a
// printable character use the platform's private-use function-key characters.
struct KeyEquivalent {
    char32_t character = 0;

    static const KeyEquivalent returnKey, deleteKey, deleteForward, end, escape, home, space, tab,
        pageUp, pageDown, upArrow, rightArrow, downArrow, leftArrow;

    constexpr auto operator<=>(const KeyEquivalent&) const = default;
};

inline constexpr KeyEquivalent KeyEquivalent::returnKey{U'\r'}, KeyEquivalent::deleteKey{0x7F},
    KeyEquivalent::deleteForward{0xF728}, KeyEquivalent::end{0xF72B}, KeyEquivalent::escape{0x1B},
    KeyEquivalent::home{0xF729}, KeyEquivalent::space{U' '}, KeyEquivalent::tab{U'\t'},
    KeyEquivalent::pageUp{0xF72C}, KeyEquivalent::pageDown{0xF72D}, KeyEquivalent::upArrow{0xF700},
    KeyEquivalent::rightArrow{0xF703}, KeyEquivalent::downArrow{0xF701},
    KeyEquivalent::leftArrow{0xF702};

// The platform's function-key characters: F1 is U+F704, F35 is U+F726.
inline constexpr char32_t kFunctionKeyF1 = 0xF704;
inline constexpr char32_t kFunctionKeyF35 = 0xF726;
// The help function key's character.
inline constexpr char32_t kHelpFunctionKey = 0xF746;

// The set of F1...F35: the recorder accepts a shortcut without Control, Option or Command
// only for these keys.
constexpr bool isFunctionKey(char32_t character) {
    return character >= kFunctionKeyF1 && character <= kFunctionKeyF35;
}

// A view's keyboard shortcut: the key is used as it stands, not remapped for the layout.
struct KeyboardShortcut {
    KeyEquivalent key;
    EventModifiers modifiers;

    constexpr auto operator<=>(const KeyboardShortcut&) const = default;
};

}  // namespace vorela::Shortcuts
