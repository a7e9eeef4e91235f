#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Keys/DesktopKeyBindings.h"
#include "Platform/Keys/HotKeyRegistrar.h"

struct xkb_context;
struct xkb_keymap;

namespace vorela {

// Global hot keys on X11: passive key grabs on every root window, one for each Num Lock /
// Caps Lock combination (a grab matches its modifiers exactly, so a lock that is on would
// otherwise hide the key). Keys and modifiers arrive in the stored macOS form and are
// translated here:
// - key codes through XKB key names ("AD04" for kVK_ANSI_R), see XkbKeyboardLayout;
// - Carbon modifiers: Shift -> Shift, Control -> Control, Option -> Mod1 (Alt),
//   Command -> Mod4 (Super); Function has no X modifier and cannot be grabbed.
// Registrations that come down to the same X key and modifiers share one grab, counted:
// it goes when the last of them is unregistered, and its events reach each of them.
// A grab refused by the server (BadAccess: another client, often the window manager,
// holds the keys) leaves nothing grabbed, is logged and is remembered as a system shortcut.
// Events reach handleEvent() on the main thread: in the application through Qt's native
// event filter on Qt's own connection (attachToQtApplication), otherwise from
// processPendingEvents() on a connection the caller pumps. A held key gives one pressed
// event: the server's auto-repeat is made detectable and repeats are dropped; the release
// is matched by key alone, so releasing the modifier first still ends the press.
class X11HotKeyRegistrar final : public HotKeyRegistrar {
public:
    // Uses the connection (not owned); null reports every registration unavailable.
    explicit X11HotKeyRegistrar(xcb_connection_t* connection);
    // On the Qt application's X connection, with a native event filter feeding it; a
    // registrar without connection when the application does not run on X11.
    static std::unique_ptr<X11HotKeyRegistrar> attachToQtApplication();
    ~X11HotKeyRegistrar() override;
    X11HotKeyRegistrar(const X11HotKeyRegistrar&) = delete;
    X11HotKeyRegistrar& operator=(const X11HotKeyRegistrar&) = delete;
    X11HotKeyRegistrar(X11HotKeyRegistrar&&) = delete;
    X11HotKeyRegistrar& operator=(X11HotKeyRegistrar&&) = delete;

    HotKeyRegistration registerHotKey(std::uint32_t carbonKeyCode, std::uint32_t carbonModifiers,
                                      HotKeyIdentifier identifier) override;
    void unregisterHotKey(HotKeyRegistrationHandle handle) override;
    bool installEventHandler(HotKeyHandler onHotKey, RawKeyHandler onRawKey) override;
    void setRawKeyEventsEnabled(bool isEnabled) override { rawKeyEventsEnabled_ = isEnabled; }
    bool isKeyDown(std::uint32_t carbonKeyCode) const override;
    std::vector<std::pair<int, int>> systemShortcuts() const override;

    // Returns true when the event was ours (then nobody else should see it).
    bool handleEvent(const xcb_generic_event_t* event);
    // Reads the connection's queued events and handles each (for a connection that no
    // toolkit reads).
    void processPendingEvents();

    bool isAvailable() const { return connection_ != nullptr; }

    // Where the desktop's own key bindings are read (each time the system shortcuts are
    // asked for); at first, those of the openbox that manages this display.
    void setDesktopKeyBindings(std::function<std::vector<DesktopKeyBinding>()> source) {
        desktopKeyBindings_ = std::move(source);
    }

    // The bindings of the openbox that manages this display: the configuration file it
    // announces on the root window (a session may start it with a file of its own), or
    // its default files when it announces none; nothing when openbox does not run here,
    // whatever openbox files are installed.
    std::vector<DesktopKeyBinding> runningOpenboxKeyBindings() const;

private:
    class QtEventFilter;

    // A text property of the first root window; nothing when it is not set.
    std::optional<std::string> rootText(const char* property) const;

    using GrabKeys = std::pair<std::uint8_t, std::uint16_t>;  // X keycode, modifiers
    struct Grab {
        std::vector<std::uint16_t> locks;  // the lock combinations grabbed
        std::vector<HotKeyRegistrationHandle> users;
    };
    struct Registration {
        GrabKeys keys;
        HotKeyIdentifier identifier;
    };

    bool loadKeymap() const;
    std::optional<std::uint8_t> xKeyCode(std::uint32_t carbonKeyCode) const;
    std::optional<std::uint32_t> carbonKeyCodeFor(std::uint8_t keycode) const;
    std::optional<std::uint32_t> carbonKeyCodeForKeysym(const std::string& name) const;
    std::vector<std::uint16_t> lockVariants() const;
    std::uint16_t computeNumLockMask() const;
    void ungrab(const GrabKeys& keys, const Grab& grab);
    bool deliver(const GrabKeys& keys, HotKeyEventKind kind);
    bool handleKey(bool isPress, std::uint8_t keycode, std::uint16_t state);

    xcb_connection_t* connection_ = nullptr;
    xkb_context* xkbContext_ = nullptr;
    mutable xkb_keymap* keymap_ = nullptr;
    std::int32_t deviceId_ = -1;
    mutable bool isKeymapStale_ = true;
    mutable std::uint16_t numLockMask_ = 0;
    std::map<GrabKeys, Grab> grabs_;
    std::map<HotKeyRegistrationHandle, Registration> registrations_;
    std::map<std::uint8_t, GrabKeys> pressed_;  // keycode -> grab held down
    std::set<std::uint8_t> rawKeysDown_;
    std::set<std::pair<int, int>> refused_;
    std::function<std::vector<DesktopKeyBinding>()> desktopKeyBindings_;
    HotKeyHandler onHotKey_;
    RawKeyHandler onRawKey_;
    HotKeyRegistrationHandle lastHandle_ = 0;
    bool rawKeyEventsEnabled_ = false;
    std::unique_ptr<QtEventFilter> filter_;
    // A handler may destroy the registrar; dispatch checks this before going on.
    LifetimeGuard guard_;
};

}  // namespace vorela
