#include "Shortcuts/ConflictChecks.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "Shortcuts/HotKeyCenter.h"

namespace vorela::Shortcuts {
namespace {

std::string lowercased(const std::string& utf8) {
    auto text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    text.toLower(icu::Locale::getRoot());
    std::string out;
    text.toUTF8String(out);
    return out;
}

void collectMatches(const std::string& equivalent, ModifierFlags flags, bool hasShift,
                    const std::vector<MenuItem>& menu, std::vector<const MenuItem*>& result) {
    for (const MenuItem& item : menu) {
        std::string itemEquivalent = item.keyEquivalent;
        ModifierFlags itemMask = item.modifierMask;
        if (hasShift) {
            // An upper-case equivalent stands for Shift and the lower-case key.
            const std::string lower = lowercased(itemEquivalent);
            if (lower != itemEquivalent) {
                itemEquivalent = lower;
                itemMask = itemMask | ModifierFlags::shift;
            }
        }
        if (!itemEquivalent.empty() && itemEquivalent == equivalent && itemMask == flags) {
            result.push_back(&item);
        }
        collectMatches(equivalent, flags, hasShift, item.submenu, result);
    }
}

}  // namespace

std::vector<const MenuItem*> menuItemsWithMatchingShortcut(const Shortcut& shortcut,
                                                           const std::vector<MenuItem>& menu,
                                                           const KeyboardLayout* layout) {
    std::vector<const MenuItem*> result;
    const auto equivalent = shortcut.nsMenuItemKeyEquivalent(layout);
    if (!equivalent || equivalent->empty()) return result;
    collectMatches(*equivalent, shortcut.modifiers(),
                   (shortcut.carbonModifiers & carbon::shift) != 0, menu, result);
    return result;
}

std::vector<Shortcut> systemShortcuts(const HotKeyCenter& center) {
    std::vector<Shortcut> list;
    for (const auto& [keyCode, modifiers] : center.systemShortcuts()) {
        list.emplace_back(keyCode, modifiers);
    }
    return list;
}

bool isTakenBySystem(const Shortcut& shortcut, const std::vector<Shortcut>& system) {
    // F12 alone is reserved by the platform but always allowed.
    if (shortcut.carbonKeyCode == Key::f12.rawValue && shortcut.carbonModifiers == 0) return false;
    return std::find(system.begin(), system.end(), shortcut) != system.end();
}

bool isDisallowedByOptionOnlyRule(const Shortcut& shortcut, SystemVersion version,
                                  bool isSandboxed) {
    if (version.major != 15 || (version.minor != 0 && version.minor != 1)) return false;
    if (!isSandboxed) return false;
    // Caps Lock, Control, Option, Command and Function: Option must be the only one.
    constexpr std::uint32_t kMask = 0x9D0000;
    return (shortcut.modifiers().rawValue & kMask) == ModifierFlags::option.rawValue;
}

bool isSandboxed() {
    static const bool sandboxed = std::getenv("APP_SANDBOX_CONTAINER_ID") != nullptr;
    return sandboxed;
}

}  // namespace vorela::Shortcuts
