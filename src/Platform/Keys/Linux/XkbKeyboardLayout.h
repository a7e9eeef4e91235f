#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Keys/KeyboardLayout.h"

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;

namespace vorela {

// The keyboard of the X server, read through XKB on a connection of its own (or a keymap
// compiled from rule names where there is no server). Keys are looked up by position: a
// macOS virtual key code names an XKB key name ("AD04" for kVK_ANSI_R, 15), which the
// keymap turns into the server's key code. The keymap is reloaded when the server reports
// a new keyboard or a changed map. Main thread only.
class XkbKeyboardLayout final : public KeyboardLayout {
public:
    // The server named by displayName (nullptr: $DISPLAY); nothing when it cannot be used.
    static std::unique_ptr<XkbKeyboardLayout> connect(const char* displayName = nullptr);
    // A keymap from rule names, e.g. layouts "ru,us"; empty names take xkbcommon's defaults
    // (and $XKB_DEFAULT_*). The first layout is the current one.
    static std::unique_ptr<XkbKeyboardLayout> fromNames(const std::string& layouts,
                                                        const std::string& variants = {});
    ~XkbKeyboardLayout() override;
    XkbKeyboardLayout(const XkbKeyboardLayout&) = delete;
    XkbKeyboardLayout& operator=(const XkbKeyboardLayout&) = delete;
    XkbKeyboardLayout(XkbKeyboardLayout&&) = delete;
    XkbKeyboardLayout& operator=(XkbKeyboardLayout&&) = delete;

    std::optional<std::string> textForKey(std::uint16_t carbonKeyCode) const override;
    std::optional<int> carbonKeyCodeForScanCode(std::uint32_t scanCode) const override;
    // The server's XKB repeat controls; without a server the X defaults, 660 ms and 40 ms.
    double keyRepeatDelay() const override;
    double keyRepeatInterval() const override;

    // The XKB key name at the position of a macOS virtual key code, and back. Positions of
    // an ANSI keyboard (plus the ISO and JIS extra keys); a few macOS keys sit where a PC
    // has another: Help on Insert ("INS"), keypad Clear on Num Lock ("NMLK"). Function
    // (fn, 63) has no X key.
    static std::optional<std::string_view> xkbKeyName(int carbonKeyCode);
    static std::optional<int> carbonKeyCode(std::string_view xkbKeyName);

private:
    XkbKeyboardLayout() = default;
    void reloadIfChanged() const;
    bool loadServerKeymap() const;
    std::uint32_t currentLayout() const;
    std::optional<std::uint32_t> latinLayout() const;

    xcb_connection_t* connection_ = nullptr;  // owned; null for a keymap from names
    std::int32_t deviceId_ = -1;
    std::uint8_t xkbEventBase_ = 0;
    xkb_context* context_ = nullptr;
    mutable xkb_keymap* keymap_ = nullptr;
};

}  // namespace vorela
