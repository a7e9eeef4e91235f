#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorela {

// The user's keyboard as the shortcut texts need it. Keys are named by their macOS virtual
// key code (a position on an ANSI keyboard). Main thread only.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The UTF-8 text the key types with no modifier held, in the current layout if it types
    // Latin letters, else in the first layout that does (so a user of a non-Latin layout
    // sees the Latin letter). Nothing for a key the layout does not have, a dead key or a
    // key that types nothing.
    virtual std::optional<std::string> textForKey(std::uint16_t carbonKeyCode) const = 0;

    // The macOS virtual key code of the key a toolkit event names by the platform's own
    // scan code (on X11 the server's key code); nothing when unknown.
    virtual std::optional<int> carbonKeyCodeForScanCode(std::uint32_t scanCode) const {
        (void)scanCode;
        return std::nullopt;
    }

    // The key-repeat delay and interval, in seconds.
    virtual double keyRepeatDelay() const = 0;
    virtual double keyRepeatInterval() const = 0;
};

}  // namespace vorela
