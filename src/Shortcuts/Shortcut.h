#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Shortcuts/Key.h"
#include "Shortcuts/KeyEquivalent.h"
#include "Shortcuts/KeyEvent.h"
#include "Shortcuts/Modifiers.h"

namespace vorela {
class KeyboardLayout;
}

namespace vorela::Shortcuts {

class Context;
class Name;

// One key plus modifier keys, in the stored form: a macOS virtual key code and Carbon
// modifier bits. A plain value, usable on any thread; the texts are main-thread only,
// since they read the current keyboard layout.
struct Shortcut {
    int carbonKeyCode = 0;
    int carbonModifiers = 0;

    constexpr Shortcut() = default;
    // The key's code and the Carbon bits of the flags (only the five known survive).
    Shortcut(Key key, ModifierFlags modifiers);
    // Keeps the key code, normalises the bits (0x8800 keeps only Option, 0x800).
    Shortcut(int carbonKeyCode, int carbonModifiers);

    // Only key-down and key-up events give a shortcut; Function never survives, so a
    // shortcut made from an event never holds it.
    static std::optional<Shortcut> fromEvent(const KeyEvent& event);
    // The shortcut stored for the name in the context, if any (init(name:)).
    static std::optional<Shortcut> forName(const Context& context, const Name& name);

    // Coded form: compact JSON {"carbonKeyCode":49,"carbonModifiers":2048}. Decoding keeps
    // the numbers as they stand; members may come in either order with any white space,
    // others are ignored, and a missing or non-integer member fails.
    std::optional<std::string> encoded() const;
    static std::optional<Shortcut> decoded(std::string_view json);

    Key key() const { return Key(carbonKeyCode); }
    ModifierFlags modifiers() const { return ModifierFlags::fromCarbon(carbonModifiers); }

    // "Alt+R", "Ctrl+Mayús+F5", "Alt+←"; "\uFFFD" for a key with no character in the layout
    // (none: no key has one). Every key the application shows is written by this.
    std::string presentableDescription(const KeyboardLayout* layout) const;
    std::string description(const KeyboardLayout* layout) const {
        return presentableDescription(layout);
    }

    // The menu item's key equivalent (UTF-8); nothing for keypad keys or keys with no
    // character.
    std::optional<std::string> nsMenuItemKeyEquivalent(const KeyboardLayout* layout) const;

    std::optional<KeyboardShortcut> toDeclarativeKeyboardShortcut(
        const KeyboardLayout* layout) const;

    constexpr bool operator==(const Shortcut&) const = default;
};

// A view's or menu's keyboard shortcut in the same words as a stored one ("Ctrl+Q",
// "Alt+Espacio"), so that every key the application shows reads alike.
std::string presentableDescription(const KeyboardShortcut& shortcut);

}  // namespace vorela::Shortcuts

template <>
struct std::hash<vorela::Shortcuts::Shortcut> {
    std::size_t operator()(const vorela::Shortcuts::Shortcut& s) const noexcept {
        const std::size_t h = std::hash<int>{}(s.carbonKeyCode);
        return h ^
               (std::hash<int>{}(s.carbonModifiers) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};
