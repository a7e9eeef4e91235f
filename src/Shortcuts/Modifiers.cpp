#include "Shortcuts/Modifiers.h"

#include <array>

namespace vorela::Shortcuts {
namespace {

struct ModifierRow {
    ModifierFlags flag;
    int carbonBit = 0;
    const char* symbol = "";
    EventModifiers eventModifier;
    const char* desktopName = "";
};

// In display order: Control, Option, Shift, Command, Function.
constexpr std::array<ModifierRow, 5> kModifiers{{
    {ModifierFlags::control, carbon::control, "\u2303", EventModifiers::control, "Ctrl"},
    {ModifierFlags::option, carbon::option, "\u2325", EventModifiers::option, "Alt"},
    {ModifierFlags::shift, carbon::shift, "\u21E7", EventModifiers::shift, "Mayús"},
    // The X layer maps Command to the Super (Mod4) key.
    {ModifierFlags::command, carbon::command, "\u2318", EventModifiers::command, "Super"},
    // The globe, forced to text presentation so it lines up with the other symbols.
    {ModifierFlags::function, carbon::function, "\U0001F310\uFE0E", EventModifiers::function, "Fn"},
}};

}  // namespace

ModifierFlags ModifierFlags::fromCarbon(int carbonBits) {
    ModifierFlags flags;
    for (const auto& row : kModifiers) {
        if ((carbonBits & row.carbonBit) != 0) flags = flags | row.flag;
    }
    return flags;
}

ModifierFlags ModifierFlags::fromEventModifiers(EventModifiers modifiers) {
    ModifierFlags flags;
    for (const auto& row : kModifiers) {
        if (modifiers.contains(row.eventModifier)) flags = flags | row.flag;
    }
    return flags;
}

int ModifierFlags::carbon() const {
    int bits = 0;
    for (const auto& row : kModifiers) {
        if (contains(row.flag)) bits |= row.carbonBit;
    }
    return bits;
}

std::string ModifierFlags::symbolicRepresentation() const {
    std::string text;
    for (const auto& row : kModifiers) {
        if (contains(row.flag)) text += row.symbol;
    }
    return text;
}

std::string ModifierFlags::desktopNames() const {
    std::string text;
    for (const auto& row : kModifiers) {
        if (contains(row.flag)) text += std::string(row.desktopName) + "+";
    }
    return text;
}

EventModifiers ModifierFlags::toEventModifiers() const {
    EventModifiers result;
    for (const auto& row : kModifiers) {
        if (contains(row.flag)) result = result | row.eventModifier;
    }
    if (contains(capsLock)) result = result | EventModifiers::capsLock;
    if (contains(numericPad)) result = result | EventModifiers::numericPad;
    return result;
}

int normalizedCarbonModifiers(int carbonBits) {
    return ModifierFlags::fromCarbon(carbonBits).carbon();
}

}  // namespace vorela::Shortcuts
