#include "Platform/Keys/Linux/XkbKeyboardLayout.h"

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdlib>
#include <utility>

namespace vorela {
namespace {

// macOS virtual key code -> XKB key name (the evdev/xfree86 keycodes' names).
constexpr std::array<std::pair<int, std::string_view>, 121> kKeyNames{{
    {0, "AC01"},   {1, "AC02"},   {2, "AC03"},   {3, "AC04"},   {4, "AC06"},   {5, "AC05"},
    {6, "AB01"},   {7, "AB02"},   {8, "AB03"},   {9, "AB04"},   {10, "LSGT"},  {11, "AB05"},
    {12, "AD01"},  {13, "AD02"},  {14, "AD03"},  {15, "AD04"},  {16, "AD06"},  {17, "AD05"},
    {18, "AE01"},  {19, "AE02"},  {20, "AE03"},  {21, "AE04"},  {22, "AE06"},  {23, "AE05"},
    {24, "AE12"},  {25, "AE09"},  {26, "AE07"},  {27, "AE11"},  {28, "AE08"},  {29, "AE10"},
    {30, "AD12"},  {31, "AD09"},  {32, "AD07"},  {33, "AD11"},  {34, "AD08"},  {35, "AD10"},
    {36, "RTRN"},  {37, "AC09"},  {38, "AC07"},  {39, "AC11"},  {40, "AC08"},  {41, "AC10"},
    {42, "BKSL"},  {43, "AB08"},  {44, "AB10"},  {45, "AB06"},  {46, "AB07"},  {47, "AB09"},
    {48, "TAB"},   {49, "SPCE"},  {50, "TLDE"},  {51, "BKSP"},  {53, "ESC"},   {54, "RWIN"},
    {55, "LWIN"},  {56, "LFSH"},  {57, "CAPS"},  {58, "LALT"},  {59, "LCTL"},  {60, "RTSH"},
    {61, "RALT"},  {62, "RCTL"},  {64, "FK17"},  {65, "KPDL"},  {67, "KPMU"},  {69, "KPAD"},
    {71, "NMLK"},  {72, "VOL+"},  {73, "VOL-"},  {74, "MUTE"},  {75, "KPDV"},  {76, "KPEN"},
    {78, "KPSU"},  {79, "FK18"},  {80, "FK19"},  {81, "KPEQ"},  {82, "KP0"},   {83, "KP1"},
    {84, "KP2"},   {85, "KP3"},   {86, "KP4"},   {87, "KP5"},   {88, "KP6"},   {89, "KP7"},
    {90, "FK20"},  {91, "KP8"},   {92, "KP9"},   {93, "AE13"},  {94, "AB11"},  {95, "KPCO"},
    {96, "FK05"},  {97, "FK06"},  {98, "FK07"},  {99, "FK03"},  {100, "FK08"}, {101, "FK09"},
    {102, "HJCV"}, {103, "FK11"}, {104, "HNGL"}, {105, "FK13"}, {106, "FK16"}, {107, "FK14"},
    {109, "FK10"}, {110, "COMP"}, {111, "FK12"}, {113, "FK15"}, {114, "INS"},  {115, "HOME"},
    {116, "PGUP"}, {117, "DELE"}, {118, "FK04"}, {119, "END"},  {120, "FK02"}, {121, "PGDN"},
    {122, "FK01"}, {123, "LEFT"}, {124, "RGHT"}, {125, "DOWN"}, {126, "UP"},
}};

// X server defaults when there is no server to ask.
constexpr double kDefaultRepeatDelay = 0.660;
constexpr double kDefaultRepeatInterval = 0.040;

// Whether the layout types Latin letters: the key at the position of A types a-z.
bool isLatin(xkb_keymap* keymap, xkb_layout_index_t layout) {
    const xkb_keycode_t a = xkb_keymap_key_by_name(keymap, "AC01");
    if (a == XKB_KEYCODE_INVALID || layout >= xkb_keymap_num_layouts_for_key(keymap, a)) {
        return false;
    }
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, a, layout, 0, &syms) < 1) return false;
    const std::uint32_t c = xkb_keysym_to_utf32(syms[0]);
    return c >= 'a' && c <= 'z';
}

}  // namespace

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::connect(const char* displayName) {
    xcb_connection_t* connection = xcb_connect(displayName, nullptr);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection) xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<XkbKeyboardLayout> layout(new XkbKeyboardLayout());
    layout->connection_ = connection;
    std::uint8_t eventBase = 0;
    if (!xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &eventBase, nullptr)) {
        return nullptr;
    }
    layout->xkbEventBase_ = eventBase;
    layout->deviceId_ = xkb_x11_get_core_keyboard_device_id(connection);
    layout->context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (layout->deviceId_ < 0 || !layout->context_ || !layout->loadServerKeymap()) return nullptr;

    // Told about a new keyboard or a changed map, the next lookup reloads the keymap.
    const std::uint16_t events =
        XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    const std::uint16_t mapParts =
        XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;
    xcb_xkb_select_events_details_t details{};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    xcb_xkb_select_events_aux(connection, static_cast<xcb_xkb_device_spec_t>(layout->deviceId_),
                              events, 0, 0, mapParts, mapParts, &details);
    xcb_flush(connection);
    return layout;
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::fromNames(const std::string& layouts,
                                                                const std::string& variants) {
    std::unique_ptr<XkbKeyboardLayout> layout(new XkbKeyboardLayout());
    layout->context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!layout->context_) return nullptr;
    xkb_rule_names names{};
    names.layout = layouts.empty() ? nullptr : layouts.c_str();
    names.variant = variants.empty() ? nullptr : variants.c_str();
    layout->keymap_ =
        xkb_keymap_new_from_names(layout->context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!layout->keymap_) return nullptr;
    return layout;
}

XkbKeyboardLayout::~XkbKeyboardLayout() {
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
    if (connection_) xcb_disconnect(connection_);
}

bool XkbKeyboardLayout::loadServerKeymap() const {
    xkb_keymap* keymap = xkb_x11_keymap_new_from_device(context_, connection_, deviceId_,
                                                        XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return false;
    if (keymap_) xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    return true;
}

void XkbKeyboardLayout::reloadIfChanged() const {
    if (!connection_) return;
    bool changed = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7F) == xkbEventBase_) changed = true;
        std::free(event);
    }
    if (changed) loadServerKeymap();
}

std::uint32_t XkbKeyboardLayout::currentLayout() const {
    if (!connection_) return 0;
    xkb_state* state = xkb_x11_state_new_from_device(keymap_, connection_, deviceId_);
    if (!state) return 0;
    const xkb_layout_index_t layout = xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE);
    xkb_state_unref(state);
    return layout;
}

std::optional<std::uint32_t> XkbKeyboardLayout::latinLayout() const {
    const std::uint32_t current = currentLayout();
    if (isLatin(keymap_, current)) return current;
    const xkb_layout_index_t count = xkb_keymap_num_layouts(keymap_);
    for (xkb_layout_index_t layout = 0; layout < count; ++layout) {
        if (isLatin(keymap_, layout)) return layout;
    }
    return std::nullopt;
}

std::optional<std::string> XkbKeyboardLayout::textForKey(std::uint16_t carbonKeyCode) const {
    reloadIfChanged();
    const auto name = xkbKeyName(carbonKeyCode);
    if (!name || !keymap_) return std::nullopt;
    const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap_, std::string(*name).c_str());
    if (keycode == XKB_KEYCODE_INVALID) return std::nullopt;
    const auto layout = latinLayout().value_or(currentLayout());
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap_, keycode);
    if (layouts == 0) return std::nullopt;
    const xkb_layout_index_t keyLayout = layout < layouts ? layout : 0;
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap_, keycode, keyLayout, 0, &syms) < 1) {
        return std::nullopt;
    }
    // Dead keys and keys without a character give nothing; control characters are no text.
    const std::uint32_t scalar = xkb_keysym_to_utf32(syms[0]);
    if (scalar < 0x20 || scalar == 0x7F) return std::nullopt;
    char buffer[8] = {};
    if (xkb_keysym_to_utf8(syms[0], buffer, sizeof buffer) <= 1) return std::nullopt;
    return std::string(buffer);
}

double XkbKeyboardLayout::keyRepeatDelay() const {
    if (!connection_) return kDefaultRepeatDelay;
    auto* reply = xcb_xkb_get_controls_reply(
        connection_,
        xcb_xkb_get_controls(connection_, static_cast<xcb_xkb_device_spec_t>(deviceId_)), nullptr);
    if (!reply) return kDefaultRepeatDelay;
    const double delay = reply->repeatDelay / 1000.0;
    std::free(reply);
    return delay;
}

double XkbKeyboardLayout::keyRepeatInterval() const {
    if (!connection_) return kDefaultRepeatInterval;
    auto* reply = xcb_xkb_get_controls_reply(
        connection_,
        xcb_xkb_get_controls(connection_, static_cast<xcb_xkb_device_spec_t>(deviceId_)), nullptr);
    if (!reply) return kDefaultRepeatInterval;
    const double interval = reply->repeatInterval / 1000.0;
    std::free(reply);
    return interval;
}

std::optional<std::string_view> XkbKeyboardLayout::xkbKeyName(int carbonKeyCode) {
    for (const auto& [code, name] : kKeyNames) {
        if (code == carbonKeyCode) return name;
    }
    return std::nullopt;
}

std::optional<int> XkbKeyboardLayout::carbonKeyCode(std::string_view xkbKeyName) {
    for (const auto& [code, name] : kKeyNames) {
        if (name == xkbKeyName) return code;
    }
    return std::nullopt;
}

}  // namespace vorela

namespace vorela {

std::optional<int> XkbKeyboardLayout::carbonKeyCodeForScanCode(std::uint32_t scanCode) const {
    reloadIfChanged();
    if (!keymap_ || scanCode == 0) return std::nullopt;
    const char* name = xkb_keymap_key_get_name(keymap_, scanCode);
    if (!name) return std::nullopt;
    return carbonKeyCode(name);
}

}  // namespace vorela
