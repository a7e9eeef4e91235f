#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorela {

// A key combination the desktop binds for itself: an X keysym name ("space", "Tab", "e")
// and the Carbon modifier bits of its modifiers.
struct DesktopKeyBinding {
    std::string keysymName;
    std::uint32_t carbonModifiers = 0;
    bool operator==(const DesktopKeyBinding&) const = default;
};

// The key bindings of an openbox configuration (rc.xml): every <keybind key="..."> of its
// <keyboard> section. The first combination of a chain counts ("C-a b" holds C-a); a
// combination with a modifier we have no Carbon bit for (Meta, Hyper, Mod5) is left out.
// A document declaring entities is refused: nothing.
std::vector<DesktopKeyBinding> parseOpenboxKeyBindings(std::string_view xml);

// The rc.xml openbox reads: $XDG_CONFIG_HOME (or ~/.config) first, then $XDG_CONFIG_DIRS
// (or /etc/xdg); nothing when none exists.
std::optional<std::string> openboxConfigPath();

// Reads the bindings of the openbox configuration, when there is one.
std::vector<DesktopKeyBinding> readOpenboxKeyBindings();
// Reads the bindings of the openbox configuration in `path`; nothing when it cannot be read.
std::vector<DesktopKeyBinding> readOpenboxKeyBindings(const std::string& path);

}  // namespace vorela
