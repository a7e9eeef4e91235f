#include "Platform/Keys/Linux/X11HotKeyRegistrar.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Platform/Foundation/Format.h"
#include "Platform/Keys/Linux/XkbKeyboardLayout.h"
#include "Platform/Log/Log.h"

namespace vorela {
namespace {

// Built per message: no static object to outlive.
Log log() { return Log("shortcuts"); }

// Carbon modifier bits and the X modifiers they are grabbed with.
constexpr std::uint32_t kCarbonCommand = 0x100;
constexpr std::uint32_t kCarbonShift = 0x200;
constexpr std::uint32_t kCarbonOption = 0x800;
constexpr std::uint32_t kCarbonControl = 0x1000;
constexpr std::uint32_t kCarbonFunction = 0x20000;

constexpr std::uint8_t kBadAccess = 10;
// Every core modifier bit: Shift, Lock, Control, Mod1 ... Mod5.
constexpr std::uint16_t kAllModifiers = 0xFF;

std::uint16_t xModifiers(std::uint32_t carbon) {
    std::uint16_t mods = 0;
    if (carbon & kCarbonShift) mods |= XCB_MOD_MASK_SHIFT;
    if (carbon & kCarbonControl) mods |= XCB_MOD_MASK_CONTROL;
    if (carbon & kCarbonOption) mods |= XCB_MOD_MASK_1;
    if (carbon & kCarbonCommand) mods |= XCB_MOD_MASK_4;
    return mods;
}

std::uint32_t carbonModifiers(std::uint16_t state) {
    std::uint32_t carbon = 0;
    if (state & XCB_MOD_MASK_SHIFT) carbon |= kCarbonShift;
    if (state & XCB_MOD_MASK_CONTROL) carbon |= kCarbonControl;
    if (state & XCB_MOD_MASK_1) carbon |= kCarbonOption;
    if (state & XCB_MOD_MASK_4) carbon |= kCarbonCommand;
    return carbon;
}

std::vector<xcb_window_t> rootWindows(xcb_connection_t* connection) {
    std::vector<xcb_window_t> roots;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         xcb_screen_next(&it)) {
        roots.push_back(it.data->root);
    }
    return roots;
}

}  // namespace

class X11HotKeyRegistrar::QtEventFilter final : public QAbstractNativeEventFilter {
public:
    explicit QtEventFilter(X11HotKeyRegistrar& registrar) : registrar_(registrar) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        return registrar_.handleEvent(static_cast<const xcb_generic_event_t*>(message));
    }

private:
    X11HotKeyRegistrar& registrar_;
};

X11HotKeyRegistrar::X11HotKeyRegistrar(xcb_connection_t* connection) : connection_(connection) {
    if (!connection_ || xcb_connection_has_error(connection_)) {
        connection_ = nullptr;
        return;
    }
    if (xkb_x11_setup_xkb_extension(
            connection_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
        deviceId_ = xkb_x11_get_core_keyboard_device_id(connection_);
        // Held keys then repeat as presses without releases, which we can drop.
        const auto flags = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
        std::free(xcb_xkb_per_client_flags_reply(
            connection_,
            xcb_xkb_per_client_flags(connection_, XCB_XKB_ID_USE_CORE_KBD, flags, flags, 0, 0, 0),
            nullptr));
    }
    xkbContext_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    desktopKeyBindings_ = [this] { return runningOpenboxKeyBindings(); };
}

std::unique_ptr<X11HotKeyRegistrar> X11HotKeyRegistrar::attachToQtApplication() {
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 =
        application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    auto registrar = std::make_unique<X11HotKeyRegistrar>(x11 ? x11->connection() : nullptr);
    if (!registrar->isAvailable()) {
        log().notice("Atajos globales no disponibles: la aplicación no usa X11");
        return registrar;
    }
    registrar->filter_ = std::make_unique<QtEventFilter>(*registrar);
    application->installNativeEventFilter(registrar->filter_.get());
    return registrar;
}

X11HotKeyRegistrar::~X11HotKeyRegistrar() {
    if (filter_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(filter_.get());
    }
    if (connection_) {
        for (const auto& [keys, grab] : grabs_) ungrab(keys, grab);
        xcb_flush(connection_);
    }
    if (keymap_) xkb_keymap_unref(keymap_);
    if (xkbContext_) xkb_context_unref(xkbContext_);
}

bool X11HotKeyRegistrar::loadKeymap() const {
    if (!xkbContext_ || deviceId_ < 0) return false;
    xkb_keymap* keymap = xkb_x11_keymap_new_from_device(xkbContext_, connection_, deviceId_,
                                                        XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return false;
    if (keymap_) xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    isKeymapStale_ = false;
    numLockMask_ = computeNumLockMask();
    return true;
}

std::optional<std::uint8_t> X11HotKeyRegistrar::xKeyCode(std::uint32_t carbonKeyCode) const {
    if (carbonKeyCode > 0xFFFF) return std::nullopt;
    const auto name = XkbKeyboardLayout::xkbKeyName(static_cast<int>(carbonKeyCode));
    if (!name) return std::nullopt;
    if ((isKeymapStale_ || !keymap_) && !loadKeymap() && !keymap_) return std::nullopt;
    const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap_, std::string(*name).c_str());
    // X key codes are 8 bits wide.
    if (keycode == XKB_KEYCODE_INVALID || keycode > 255) return std::nullopt;
    return static_cast<std::uint8_t>(keycode);
}

std::optional<std::uint32_t> X11HotKeyRegistrar::carbonKeyCodeFor(std::uint8_t keycode) const {
    if (!keymap_) return std::nullopt;
    const char* name = xkb_keymap_key_get_name(keymap_, keycode);
    if (!name) return std::nullopt;
    const auto code = XkbKeyboardLayout::carbonKeyCode(name);
    if (!code) return std::nullopt;
    return static_cast<std::uint32_t>(*code);
}

std::uint16_t X11HotKeyRegistrar::computeNumLockMask() const {
    if (!keymap_) return 0;
    // The modifier whose keys include a key that types Num_Lock.
    auto* reply =
        xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr);
    if (!reply) return 0;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    std::uint16_t mask = 0;
    for (int modifier = 0; modifier < 8 && mask == 0; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
            if (keycode == 0) continue;
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, keycode, 0, 0, &syms) > 0 &&
                syms[0] == XKB_KEY_Num_Lock) {
                mask = static_cast<std::uint16_t>(1u << modifier);
                break;
            }
        }
    }
    std::free(reply);
    return mask;
}

std::vector<std::uint16_t> X11HotKeyRegistrar::lockVariants() const {
    const std::uint16_t numLock = numLockMask_;
    if (numLock == 0) return {0, XCB_MOD_MASK_LOCK};
    return {0, XCB_MOD_MASK_LOCK, numLock, static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock)};
}

HotKeyRegistration X11HotKeyRegistrar::registerHotKey(std::uint32_t carbonKeyCode,
                                                      std::uint32_t carbonModifiers,
                                                      HotKeyIdentifier identifier) {
    const auto fail = [&](HotKeyRegistrationError error) {
        log().notice(
            format("No se pudo registrar el atajo global (tecla %u, modificadores "
                   "0x%X): %s",
                   carbonKeyCode, carbonModifiers, std::string(description(error)).c_str()));
        return HotKeyRegistration{0, error};
    };
    if (!connection_) return fail(HotKeyRegistrationError::unavailable);
    if (carbonModifiers & kCarbonFunction)
        return fail(HotKeyRegistrationError::unsupportedModifiers);
    const auto keycode = xKeyCode(carbonKeyCode);
    if (!keycode) return fail(HotKeyRegistrationError::unknownKey);

    const GrabKeys keys{*keycode, xModifiers(carbonModifiers)};
    if (const auto shared = grabs_.find(keys); shared != grabs_.end()) {
        // Keys that differ only in bits X has no modifier for: the grab we hold serves both.
        const HotKeyRegistrationHandle handle = ++lastHandle_;
        shared->second.users.push_back(handle);
        registrations_[handle] = Registration{keys, identifier};
        return {handle, std::nullopt};
    }
    Grab grab{lockVariants(), {}};
    std::vector<xcb_void_cookie_t> cookies;
    for (const xcb_window_t root : rootWindows(connection_)) {
        for (const std::uint16_t lock : grab.locks) {
            cookies.push_back(xcb_grab_key_checked(
                connection_, 1, root, static_cast<std::uint16_t>(keys.second | lock), keys.first,
                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    std::optional<std::uint8_t> errorCode;
    for (const auto& cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
            if (!errorCode) errorCode = error->error_code;
            std::free(error);
        }
    }
    if (errorCode) {
        // Ungrabbing releases only our own grabs, so the other client keeps its keys.
        ungrab(keys, grab);
        xcb_flush(connection_);
        if (*errorCode != kBadAccess) return fail(HotKeyRegistrationError::invalidValue);
        refused_.insert({static_cast<int>(carbonKeyCode), static_cast<int>(carbonModifiers)});
        return fail(HotKeyRegistrationError::refused);
    }
    const HotKeyRegistrationHandle handle = ++lastHandle_;
    grab.users.push_back(handle);
    grabs_[keys] = std::move(grab);
    registrations_[handle] = Registration{keys, identifier};
    return {handle, std::nullopt};
}

void X11HotKeyRegistrar::ungrab(const GrabKeys& keys, const Grab& grab) {
    for (const xcb_window_t root : rootWindows(connection_)) {
        for (const std::uint16_t lock : grab.locks) {
            xcb_ungrab_key(connection_, keys.first, root,
                           static_cast<std::uint16_t>(keys.second | lock));
        }
    }
}

void X11HotKeyRegistrar::unregisterHotKey(HotKeyRegistrationHandle handle) {
    const auto registration = registrations_.find(handle);
    if (registration == registrations_.end()) return;
    const GrabKeys keys = registration->second.keys;
    registrations_.erase(registration);
    const auto grab = grabs_.find(keys);
    if (grab == grabs_.end()) return;
    std::erase(grab->second.users, handle);
    if (!grab->second.users.empty()) return;
    ungrab(keys, grab->second);
    xcb_flush(connection_);
    std::erase_if(pressed_, [&keys](const auto& entry) { return entry.second == keys; });
    grabs_.erase(grab);
}

bool X11HotKeyRegistrar::installEventHandler(HotKeyHandler onHotKey, RawKeyHandler onRawKey) {
    if (!connection_) return false;
    onHotKey_ = std::move(onHotKey);
    onRawKey_ = std::move(onRawKey);
    return true;
}

bool X11HotKeyRegistrar::isKeyDown(std::uint32_t carbonKeyCode) const {
    if (!connection_) return false;
    const auto keycode = xKeyCode(carbonKeyCode);
    if (!keycode) return false;
    auto* reply = xcb_query_keymap_reply(connection_, xcb_query_keymap(connection_), nullptr);
    if (!reply) return false;
    const bool isDown = (reply->keys[*keycode / 8] & (1u << (*keycode % 8))) != 0;
    std::free(reply);
    return isDown;
}

std::optional<std::string> X11HotKeyRegistrar::rootText(const char* property) const {
    if (!connection_) return std::nullopt;
    const auto roots = rootWindows(connection_);
    if (roots.empty()) return std::nullopt;
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 1, static_cast<std::uint16_t>(std::strlen(property)),
                        property),
        nullptr);
    const xcb_atom_t name = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(atom);
    if (name == XCB_ATOM_NONE) return std::nullopt;
    // A path: a few kilobytes at most (the length is in 32-bit units).
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, roots.front(), name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr);
    std::optional<std::string> text;
    if (reply && reply->format == 8 && reply->type != XCB_ATOM_NONE)
        text = std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                           static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return text;
}

std::vector<DesktopKeyBinding> X11HotKeyRegistrar::runningOpenboxKeyBindings() const {
    if (const auto file = rootText("_OB_CONFIG_FILE"); file && !file->empty())
        return readOpenboxKeyBindings(*file);
    if (rootText("_OB_VERSION")) return readOpenboxKeyBindings();
    return {};
}

std::vector<std::pair<int, int>> X11HotKeyRegistrar::systemShortcuts() const {
    std::vector<std::pair<int, int>> list(refused_.begin(), refused_.end());
    if (!desktopKeyBindings_) return list;
    for (const auto& binding : desktopKeyBindings_()) {
        const auto keyCode = carbonKeyCodeForKeysym(binding.keysymName);
        if (!keyCode) continue;
        const std::pair<int, int> entry{static_cast<int>(*keyCode),
                                        static_cast<int>(binding.carbonModifiers)};
        if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
    }
    return list;
}

std::optional<std::uint32_t> X11HotKeyRegistrar::carbonKeyCodeForKeysym(
    const std::string& name) const {
    if (!connection_) return std::nullopt;
    if ((isKeymapStale_ || !keymap_) && !loadKeymap() && !keymap_) return std::nullopt;
    xkb_keysym_t wanted = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
    if (wanted == XKB_KEY_NoSymbol) {
        wanted = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
    }
    if (wanted == XKB_KEY_NoSymbol) return std::nullopt;
    wanted = xkb_keysym_to_lower(wanted);
    // The key that types the keysym unshifted in the first layout.
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap_);
         keycode <= xkb_keymap_max_keycode(keymap_) && keycode <= 255; ++keycode) {
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap_, keycode, 0, 0, &syms) < 1) continue;
        if (xkb_keysym_to_lower(syms[0]) == wanted) {
            return carbonKeyCodeFor(static_cast<std::uint8_t>(keycode));
        }
    }
    return std::nullopt;
}

bool X11HotKeyRegistrar::handleEvent(const xcb_generic_event_t* event) {
    const std::uint8_t type = event->response_type & 0x7F;
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        // A key release has the same layout as a key press.
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        return handleKey(type == XCB_KEY_PRESS, key->detail, key->state);
    }
    if (type == XCB_MAPPING_NOTIFY) isKeymapStale_ = true;
    return false;
}

bool X11HotKeyRegistrar::handleKey(bool isPress, std::uint8_t keycode, std::uint16_t state) {
    if (rawKeyEventsEnabled_) {
        if (!onRawKey_) return false;
        const auto carbonKeyCode = carbonKeyCodeFor(keycode);
        if (!carbonKeyCode) return false;
        bool isRepeat = false;
        if (isPress) {
            isRepeat = !rawKeysDown_.insert(keycode).second;
        } else {
            rawKeysDown_.erase(keycode);
        }
        const RawKeyEvent raw{*carbonKeyCode, carbonModifiers(state), isPress, isRepeat};
        return onRawKey_(raw) == HotKeyEventResult::handled;
    }
    rawKeysDown_.clear();
    if (isPress) {
        // Still down from an earlier press: the server's auto-repeat.
        if (const auto it = pressed_.find(keycode); it != pressed_.end()) {
            return grabs_.contains(it->second);
        }
        const std::uint16_t mods = state & kAllModifiers & ~(XCB_MOD_MASK_LOCK | numLockMask_);
        const GrabKeys keys{keycode, mods};
        if (!grabs_.contains(keys)) return false;
        pressed_[keycode] = keys;
        deliver(keys, HotKeyEventKind::pressed);
        return true;
    }
    const auto it = pressed_.find(keycode);
    if (it == pressed_.end()) return false;
    const GrabKeys keys = it->second;
    pressed_.erase(it);
    if (!grabs_.contains(keys)) return false;
    deliver(keys, HotKeyEventKind::released);
    return true;
}

bool X11HotKeyRegistrar::deliver(const GrabKeys& keys, HotKeyEventKind kind) {
    // Copies first: a handler may unregister hot keys or destroy the registrar.
    std::vector<HotKeyIdentifier> identifiers;
    for (const HotKeyRegistrationHandle handle : grabs_.at(keys).users) {
        identifiers.push_back(registrations_.at(handle).identifier);
    }
    const HotKeyHandler handler = onHotKey_;
    const auto watch = guard_.watch();
    for (const auto& identifier : identifiers) {
        if (!watch.isAlive()) return false;
        if (handler) handler(identifier, kind);
    }
    return watch.isAlive();
}

void X11HotKeyRegistrar::processPendingEvents() {
    if (!connection_) return;
    xcb_flush(connection_);
    xcb_connection_t* connection = connection_;
    const auto watch = guard_.watch();
    // Stops as soon as a handler has destroyed the registrar.
    while (watch.isAlive()) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (!event) break;
        handleEvent(event);
        std::free(event);
    }
}

}  // namespace vorela
