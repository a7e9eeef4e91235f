#pragma once

#include <vector>

#include "Shortcuts/MenuItem.h"
#include "Shortcuts/Shortcut.h"

namespace vorela {
class KeyboardLayout;
}

namespace vorela::Shortcuts {

class HotKeyCenter;

// The questions a recorder asks before it accepts a shortcut. Main thread.

// Every item, submenus included, whose key equivalent is the shortcut, depth first (an item
// before the matches in its own submenu). An upper-case equivalent counts as Shift plus the
// lower-case key when the shortcut holds Shift; masks must be equal.
std::vector<const MenuItem*> menuItemsWithMatchingShortcut(const Shortcut& shortcut,
                                                           const std::vector<MenuItem>& menu,
                                                           const KeyboardLayout* layout);

// The shortcuts the system holds, as far as known (the X server's refused grabs and the
// desktop's readable key bindings), normalised; read afresh on every call.
std::vector<Shortcut> systemShortcuts(const HotKeyCenter& center);
// F12 alone is never taken; anything else when the list holds it.
bool isTakenBySystem(const Shortcut& shortcut, const std::vector<Shortcut>& system);

// The macOS version the rule below depends on; zero on Linux, where it never applies.
struct SystemVersion {
    int major = 0;
    int minor = 0;
};
// A sandboxed process on macOS 15.0 or 15.1 cannot use Option alone (Shift beside it
// allowed) as a shortcut's modifiers.
bool isDisallowedByOptionOnlyRule(const Shortcut& shortcut, SystemVersion version,
                                  bool isSandboxed);
// Whether "APP_SANDBOX_CONTAINER_ID" is set, read once.
bool isSandboxed();

}  // namespace vorela::Shortcuts
