#include "Shortcuts/Shortcut.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

#include "Platform/Foundation/Utf8.h"
#include "Platform/Keys/KeyboardLayout.h"
#include "Shortcuts/Context.h"
#include "Shortcuts/ShortcutTexts.h"
#include "Shortcuts/SpecialKey.h"

namespace vorela::Shortcuts {
namespace {

// The text the layout prints for the key with no modifier, when it is one character.
std::optional<std::string> keyToCharacter(const Shortcut& shortcut, const KeyboardLayout* layout) {
    if (!layout) return std::nullopt;
    if (specialKeyFor(shortcut.key())) return std::nullopt;
    // The layout takes a 16-bit key code; a hand-edited store may hold anything.
    if (shortcut.carbonKeyCode < 0 ||
        shortcut.carbonKeyCode > std::numeric_limits<std::uint16_t>::max()) {
        return std::nullopt;
    }
    auto text = layout->textForKey(static_cast<std::uint16_t>(shortcut.carbonKeyCode));
    if (!text || !isSingleCharacter(*text)) return std::nullopt;
    return text;
}

// The one way a key is written: the modifiers by the desktop's names, then the key.
std::string describe(ModifierFlags modifiers, std::optional<SpecialKey> special,
                     const std::optional<std::string>& character) {
    // A Linux keyboard has no ⌥ or ⌘ printed on it: the desktop's key names, as the
    // desktop writes shortcuts ("Alt+Espacio").
    std::string text = modifiers.desktopNames();
    if (special) return text + Shortcuts::presentableDescription(*special);
    if (character) return text + capitalizedWords(*character);
    return text + "\uFFFD";
}

std::optional<SpecialKey> specialKeyWithEquivalent(KeyEquivalent key) {
    for (int i = 0; i < kSpecialKeyCount; ++i) {
        const auto special = static_cast<SpecialKey>(i);
        if (declarativeKeyEquivalent(special) == key) return special;
    }
    return std::nullopt;
}

std::optional<int> integerMember(const nlohmann::json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || !it->is_number_integer()) return std::nullopt;
    if (it->is_number_unsigned()) {
        const auto value = it->get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
            return std::nullopt;
        return static_cast<int>(value);
    }
    const auto value = it->get<std::int64_t>();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace

Shortcut::Shortcut(Key key, ModifierFlags modifiers)
    : carbonKeyCode(key.rawValue), carbonModifiers(modifiers.carbon()) {}

Shortcut::Shortcut(int keyCode, int modifierBits)
    : carbonKeyCode(keyCode), carbonModifiers(normalizedCarbonModifiers(modifierBits)) {}

std::optional<Shortcut> Shortcut::fromEvent(const KeyEvent& event) {
    if (event.type != KeyEvent::Type::keyDown && event.type != KeyEvent::Type::keyUp) {
        return std::nullopt;
    }
    return Shortcut(Key(event.keyCode), event.modifierFlags.without(ModifierFlags::function));
}

std::optional<Shortcut> Shortcut::forName(const Context& context, const Name& name) {
    return context.getShortcut(name);
}

std::optional<std::string> Shortcut::encoded() const {
    nlohmann::ordered_json object;
    object["carbonKeyCode"] = carbonKeyCode;
    object["carbonModifiers"] = carbonModifiers;
    return object.dump();
}

std::optional<Shortcut> Shortcut::decoded(std::string_view json) {
    const auto object = nlohmann::json::parse(json, nullptr, /*allow_exceptions=*/false);
    if (!object.is_object()) return std::nullopt;
    const auto keyCode = integerMember(object, "carbonKeyCode");
    const auto modifiers = integerMember(object, "carbonModifiers");
    if (!keyCode || !modifiers) return std::nullopt;
    Shortcut shortcut;
    shortcut.carbonKeyCode = *keyCode;
    shortcut.carbonModifiers = *modifiers;
    return shortcut;
}

std::string Shortcut::presentableDescription(const KeyboardLayout* layout) const {
    const auto special = specialKeyFor(key());
    return describe(modifiers(), special, special ? std::nullopt : keyToCharacter(*this, layout));
}

std::string presentableDescription(const KeyboardShortcut& shortcut) {
    const auto special = specialKeyWithEquivalent(shortcut.key);
    std::optional<std::string> character;
    if (!special && shortcut.key.character != 0) {
        character.emplace();
        unicode::appendUtf8(*character, shortcut.key.character);
    }
    return describe(ModifierFlags::fromEventModifiers(shortcut.modifiers), special, character);
}

std::optional<std::string> Shortcut::nsMenuItemKeyEquivalent(const KeyboardLayout* layout) const {
    if (const auto special = specialKeyFor(key())) return menuItemKeyEquivalent(*special);
    return keyToCharacter(*this, layout);
}

std::optional<KeyboardShortcut> Shortcut::toDeclarativeKeyboardShortcut(
    const KeyboardLayout* layout) const {
    const EventModifiers eventModifiers = modifiers().toEventModifiers();
    if (const auto special = specialKeyFor(key())) {
        const auto equivalent = declarativeKeyEquivalent(*special);
        if (!equivalent) return std::nullopt;
        return KeyboardShortcut{*equivalent, eventModifiers};
    }
    const auto character = keyToCharacter(*this, layout);
    if (!character) return std::nullopt;
    // A key equivalent holds one scalar; a cluster of several cannot be one.
    auto text = singleScalar(*character);
    if (!text) return std::nullopt;
    return KeyboardShortcut{KeyEquivalent{*text}, eventModifiers};
}

}  // namespace vorela::Shortcuts
