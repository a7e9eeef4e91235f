#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace vorela {

// Identifies a registered hot key in the events the registrar delivers: the registering
// centre's signature and its own number for the hot key.
struct HotKeyIdentifier {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    bool operator==(const HotKeyIdentifier&) const = default;
};

enum class HotKeyEventKind { pressed, released };

// A key event that reached one of the application's own windows while raw key events are
// enabled (one of its menus is open). Key and modifiers are in the stored form: macOS
// virtual key code and Carbon modifier bits (lock keys never appear).
struct RawKeyEvent {
    std::uint32_t carbonKeyCode = 0;
    std::uint32_t carbonModifiers = 0;
    bool isKeyDown = true;
    bool isRepeat = false;
};

// What an event handler did with an event: a handled event goes no further.
enum class HotKeyEventResult { handled, notHandled };

enum class HotKeyRegistrationError {
    refused,               // another program holds these keys (the X server said BadAccess)
    unknownKey,            // the keyboard has no such key
    unsupportedModifiers,  // modifier bits the platform cannot grab (Function)
    invalidValue,          // a key code or modifier value out of range
    unavailable,           // no global keys on this desktop (no X11 connection)
};

// Spanish text for logs.
constexpr std::string_view description(HotKeyRegistrationError error) {
    switch (error) {
        case HotKeyRegistrationError::refused:
            return "otra aplicación ya usa esta combinación de teclas";
        case HotKeyRegistrationError::unknownKey:
            return "el teclado no tiene esa tecla";
        case HotKeyRegistrationError::unsupportedModifiers:
            return "la tecla Fn no se puede usar en un atajo global";
        case HotKeyRegistrationError::invalidValue:
            return "el código de tecla o los modificadores no son válidos";
        case HotKeyRegistrationError::unavailable:
            return "los atajos globales no están disponibles en este escritorio";
    }
    return "error desconocido";
}

using HotKeyRegistrationHandle = std::uint64_t;  // never 0

struct HotKeyRegistration {
    HotKeyRegistrationHandle handle = 0;
    std::optional<HotKeyRegistrationError> error;
    bool isRegistered() const { return handle != 0; }
};

// System-wide hot keys: keys that reach the application whatever window has the focus.
// - Everything is called, and every handler runs, on the main thread.
// - registerHotKey() returns a handle or the reason it could not register; the events of a
//   registered hot key carry its identifier. A refused registration is logged.
// - One pair of handlers is installed for the life of the registrar; hot-key events reach
//   the hot-key handler, raw key events (only while enabled) the raw handler.
// - A held key sends one pressed event (auto-repeat is not reported) and one released
//   event when the key goes up, whatever the order in which the modifiers were released.
class HotKeyRegistrar {
public:
    using HotKeyHandler = std::function<HotKeyEventResult(HotKeyIdentifier, HotKeyEventKind)>;
    using RawKeyHandler = std::function<HotKeyEventResult(const RawKeyEvent&)>;

    virtual ~HotKeyRegistrar() = default;

    virtual HotKeyRegistration registerHotKey(std::uint32_t carbonKeyCode,
                                              std::uint32_t carbonModifiers,
                                              HotKeyIdentifier identifier) = 0;
    virtual void unregisterHotKey(HotKeyRegistrationHandle handle) = 0;

    // Returns false when no event can be delivered (then nothing is installed).
    virtual bool installEventHandler(HotKeyHandler onHotKey, RawKeyHandler onRawKey) = 0;
    // Key events reaching the application's own windows (while one of its menus is open).
    virtual void setRawKeyEventsEnabled(bool isEnabled) = 0;

    // Whether the key is held down right now.
    virtual bool isKeyDown(std::uint32_t carbonKeyCode) const = 0;

    // Key combinations that the system or another program holds, as far as known:
    // (carbon key code, carbon modifiers) pairs.
    virtual std::vector<std::pair<int, int>> systemShortcuts() const = 0;
};

}  // namespace vorela
