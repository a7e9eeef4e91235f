#include "Shortcuts/SpecialKey.h"

#include <array>

#include "Shortcuts/ShortcutTexts.h"

namespace vorela::Shortcuts {
namespace {

struct SpecialKeyRow {
    SpecialKey special = SpecialKey::returnKey;
    Key key;
    const char* text = nullptr;  // nullptr: looked up in the bundle (Space)
    const char* menu = nullptr;  // nullptr: no menu key equivalent
    char32_t declarative = 0;    // 0: no declarative key equivalent
};

using K = SpecialKey;

// One row per case, in declaration order. Keypad signs carry U+20E3, the enclosing keycap.
constexpr std::array<SpecialKeyRow, kSpecialKeyCount> kRows{{
    {K::returnKey, Key::returnKey, "\u21A9", "\u21A9", KeyEquivalent::returnKey.character},
    {K::deleteKey, Key::deleteKey, "\u232B", "\u232B", KeyEquivalent::deleteKey.character},
    {K::deleteForward, Key::deleteForward, "\u2326", "\u2326",
     KeyEquivalent::deleteForward.character},
    {K::end, Key::end, "\u2198", "\u2198", KeyEquivalent::end.character},
    {K::escape, Key::escape, "\u238B", "\u238B", KeyEquivalent::escape.character},
    {K::help, Key::help, "?\u20DD", "?\u20DD", kHelpFunctionKey},
    {K::home, Key::home, "\u2196", "\u2196", KeyEquivalent::home.character},
    {K::space, Key::space, nullptr, " ", KeyEquivalent::space.character},
    {K::tab, Key::tab, "\u21E5", "\u21E5", KeyEquivalent::tab.character},
    {K::pageUp, Key::pageUp, "\u21DE", "\u21DE", KeyEquivalent::pageUp.character},
    {K::pageDown, Key::pageDown, "\u21DF", "\u21DF", KeyEquivalent::pageDown.character},
    {K::upArrow, Key::upArrow, "\u2191", "\u2191", KeyEquivalent::upArrow.character},
    {K::rightArrow, Key::rightArrow, "\u2192", "\u2192", KeyEquivalent::rightArrow.character},
    {K::downArrow, Key::downArrow, "\u2193", "\u2193", KeyEquivalent::downArrow.character},
    {K::leftArrow, Key::leftArrow, "\u2190", "\u2190", KeyEquivalent::leftArrow.character},
    {K::f1, Key::f1, "F1", "\uF704", 0xF704},
    {K::f2, Key::f2, "F2", "\uF705", 0xF705},
    {K::f3, Key::f3, "F3", "\uF706", 0xF706},
    {K::f4, Key::f4, "F4", "\uF707", 0xF707},
    {K::f5, Key::f5, "F5", "\uF708", 0xF708},
    {K::f6, Key::f6, "F6", "\uF709", 0xF709},
    {K::f7, Key::f7, "F7", "\uF70A", 0xF70A},
    {K::f8, Key::f8, "F8", "\uF70B", 0xF70B},
    {K::f9, Key::f9, "F9", "\uF70C", 0xF70C},
    {K::f10, Key::f10, "F10", "\uF70D", 0xF70D},
    {K::f11, Key::f11, "F11", "\uF70E", 0xF70E},
    {K::f12, Key::f12, "F12", "\uF70F", 0xF70F},
    {K::f13, Key::f13, "F13", "\uF710", 0xF710},
    {K::f14, Key::f14, "F14", "\uF711", 0xF711},
    {K::f15, Key::f15, "F15", "\uF712", 0xF712},
    {K::f16, Key::f16, "F16", "\uF713", 0xF713},
    {K::f17, Key::f17, "F17", "\uF714", 0xF714},
    {K::f18, Key::f18, "F18", "\uF715", 0xF715},
    {K::f19, Key::f19, "F19", "\uF716", 0xF716},
    {K::f20, Key::f20, "F20", "\uF717", 0xF717},
    {K::keypad0, Key::keypad0, "0\u20E3", nullptr, 0},
    {K::keypad1, Key::keypad1, "1\u20E3", nullptr, 0},
    {K::keypad2, Key::keypad2, "2\u20E3", nullptr, 0},
    {K::keypad3, Key::keypad3, "3\u20E3", nullptr, 0},
    {K::keypad4, Key::keypad4, "4\u20E3", nullptr, 0},
    {K::keypad5, Key::keypad5, "5\u20E3", nullptr, 0},
    {K::keypad6, Key::keypad6, "6\u20E3", nullptr, 0},
    {K::keypad7, Key::keypad7, "7\u20E3", nullptr, 0},
    {K::keypad8, Key::keypad8, "8\u20E3", nullptr, 0},
    {K::keypad9, Key::keypad9, "9\u20E3", nullptr, 0},
    {K::keypadClear, Key::keypadClear, "\u2612\u20E3", nullptr, 0},
    {K::keypadDecimal, Key::keypadDecimal, ".\u20E3", nullptr, 0},
    {K::keypadDivide, Key::keypadDivide, "/\u20E3", nullptr, 0},
    {K::keypadEnter, Key::keypadEnter, "\u21A9\u20E3", nullptr, 0},
    {K::keypadEquals, Key::keypadEquals, "=\u20E3", nullptr, 0},
    {K::keypadMinus, Key::keypadMinus, "-\u20E3", nullptr, 0},
    {K::keypadMultiply, Key::keypadMultiply, "*\u20E3", nullptr, 0},
    {K::keypadPlus, Key::keypadPlus, "+\u20E3", nullptr, 0},
}};

// Every special key code is below 128, so the mapping is a direct index: built once, at
// compile time, never changed.
constexpr int kIndexSize = 128;
constexpr std::array<signed char, kIndexSize> makeIndex() {
    std::array<signed char, kIndexSize> index{};
    for (auto& slot : index) slot = -1;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        index[static_cast<std::size_t>(kRows[i].key.rawValue)] = static_cast<signed char>(i);
    }
    return index;
}
constexpr auto kIndex = makeIndex();

constexpr bool rowsFollowDeclarationOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (static_cast<std::size_t>(kRows[i].special) != i) return false;
    }
    return true;
}
static_assert(rowsFollowDeclarationOrder());

const SpecialKeyRow& row(SpecialKey special) { return kRows[static_cast<std::size_t>(special)]; }

}  // namespace

std::optional<SpecialKey> specialKeyFor(Key key) {
    if (key.rawValue < 0 || key.rawValue >= kIndexSize) return std::nullopt;
    const auto slot = kIndex[static_cast<std::size_t>(key.rawValue)];
    if (slot < 0) return std::nullopt;
    return kRows[static_cast<std::size_t>(slot)].special;
}

Key keyFor(SpecialKey special) { return row(special).key; }

std::string presentableDescription(SpecialKey special) {
    const auto& r = row(special);
    if (r.text) return r.text;
    return capitalizedWords(localizedText("space_key"));
}

std::optional<std::string> menuItemKeyEquivalent(SpecialKey special) {
    const auto& r = row(special);
    if (!r.menu) return std::nullopt;
    return std::string(r.menu);
}

std::optional<KeyEquivalent> declarativeKeyEquivalent(SpecialKey special) {
    const auto& r = row(special);
    if (r.declarative == 0) return std::nullopt;
    return KeyEquivalent{r.declarative};
}

}  // namespace vorela::Shortcuts
