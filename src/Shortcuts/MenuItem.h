#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Shortcuts/Modifiers.h"

namespace vorela::Shortcuts {

// One item of the application's own menus as the conflict check sees it: its title, its
// key equivalent (a UTF-8 character, upper case meaning Shift where the mask lacks it; empty
// for none), the modifier flags of that equivalent, the shortcut name it is bound to (its
// equivalent then shows that name's keys) and its submenu.
struct MenuItem {
    std::string title;
    std::string keyEquivalent;
    ModifierFlags modifierMask;
    std::optional<std::string> boundName;
    std::vector<MenuItem> submenu;
};

// The application's main menu, described afresh on each call. The menus (tray menu, main
// window) fill it; the recorder reads it. Main thread.
class MainMenu {
public:
    virtual ~MainMenu() = default;
    virtual std::vector<MenuItem> items() const = 0;
};

}  // namespace vorela::Shortcuts
