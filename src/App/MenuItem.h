#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Shortcuts/KeyEquivalent.h"

namespace vorela {

// One entry of a menu as the toolkit-free side describes it; the Qt side only renders it
// and hands back `action` when the entry is chosen.
struct MenuItem {
    enum class Kind { action, toggle, submenu, separator, label };

    Kind kind = Kind::action;
    std::string title;
    std::string action;  // a submenu's name; empty for separators and labels
    bool isEnabled = true;
    bool isChecked = false;  // the checkmark of a choice, or a toggle's state
    // Ctrl is `control`, Alt `option`, Super `command`, as the recorded shortcuts have them.
    std::optional<Shortcuts::KeyboardShortcut> keyEquivalent;
    // The global shortcut whose keys the item shows, if any.
    std::optional<std::string> boundName;
    std::vector<MenuItem> submenu;

    static MenuItem make(Kind kind, std::string title, std::string action) {
        MenuItem item;
        item.kind = kind;
        item.title = std::move(title);
        item.action = std::move(action);
        return item;
    }
    static MenuItem separator() { return make(Kind::separator, {}, {}); }
    static MenuItem label(std::string title) {
        MenuItem item = make(Kind::label, std::move(title), {});
        item.isEnabled = false;
        return item;
    }

    bool operator==(const MenuItem&) const = default;
};

}  // namespace vorela
