#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace vorela::Shortcuts {

// Carbon modifier bits: the form a stored shortcut keeps (a plain signed integer). Only
// these five are known; every conversion drops other bits.
namespace carbon {
inline constexpr int command = 0x100;
inline constexpr int shift = 0x200;
inline constexpr int option = 0x800;
inline constexpr int control = 0x1000;
inline constexpr int function = 0x20000;
}  // namespace carbon

// The declarative toolkit's event modifiers, used by key equivalents of views.
struct EventModifiers {
    std::uint32_t rawValue = 0;

    static const EventModifiers capsLock, shift, control, option, command, numericPad, function;

    constexpr bool contains(EventModifiers other) const {
        return (rawValue & other.rawValue) == other.rawValue;
    }
    constexpr EventModifiers operator|(EventModifiers other) const {
        return EventModifiers{rawValue | other.rawValue};
    }
    constexpr auto operator<=>(const EventModifiers&) const = default;
};

inline constexpr EventModifiers EventModifiers::capsLock{1}, EventModifiers::shift{2},
    EventModifiers::control{4}, EventModifiers::option{8}, EventModifiers::command{16},
    EventModifiers::numericPad{32}, EventModifiers::function{64};

// Event modifier flags, as a key event reports them. A type of its own because the same
// number means different keys here and in Carbon bits (0x20000 is Shift here, Function
// there).
struct ModifierFlags {
    std::uint32_t rawValue = 0;

    static const ModifierFlags capsLock, shift, control, option, command, numericPad, help,
        function;
    // Device-independent flags with Caps Lock and Numeric Pad removed (0xFFDE0000).
    static constexpr std::uint32_t kShortcutRelevantMask = 0xFFDE0000;

    constexpr ModifierFlags() = default;
    constexpr explicit ModifierFlags(std::uint32_t raw) : rawValue(raw) {}

    // init(carbon:): the flags for the known Carbon bits present.
    static ModifierFlags fromCarbon(int carbonBits);
    // The Carbon bits for the known flags present.
    int carbon() const;
    // The flags for the five known event modifiers present.
    static ModifierFlags fromEventModifiers(EventModifiers modifiers);
    // "⌃⌥⇧⌘🌐︎" order whatever the order of pressing; empty when none is set.
    std::string symbolicRepresentation() const;
    // The same modifiers by the names a Linux desktop prints on its keys, in the same
    // order, each followed by "+": "Ctrl+Alt+Mayús+Super+" (Function: "Fn+").
    std::string desktopNames() const;
    EventModifiers toEventModifiers() const;

    constexpr bool contains(ModifierFlags other) const {
        return (rawValue & other.rawValue) == other.rawValue;
    }
    constexpr bool isEmpty() const { return rawValue == 0; }
    constexpr ModifierFlags operator|(ModifierFlags other) const {
        return ModifierFlags{rawValue | other.rawValue};
    }
    constexpr ModifierFlags operator&(ModifierFlags other) const {
        return ModifierFlags{rawValue & other.rawValue};
    }
    constexpr ModifierFlags without(ModifierFlags other) const {
        return ModifierFlags{rawValue & ~other.rawValue};
    }
    constexpr auto operator<=>(const ModifierFlags&) const = default;
};

inline constexpr ModifierFlags ModifierFlags::capsLock{0x10000}, ModifierFlags::shift{0x20000},
    ModifierFlags::control{0x40000}, ModifierFlags::option{0x80000},
    ModifierFlags::command{0x100000}, ModifierFlags::numericPad{0x200000},
    ModifierFlags::help{0x400000}, ModifierFlags::function{0x800000};

// Keeps only the five known Carbon bits (Carbon -> flags -> Carbon).
int normalizedCarbonModifiers(int carbonBits);

}  // namespace vorela::Shortcuts
