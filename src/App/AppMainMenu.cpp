#include "App/AppMainMenu.h"

#include "Platform/Foundation/Utf8.h"

namespace vorela {
std::vector<Shortcuts::MenuItem> AppMainMenu::items() const {
    return build_ ? describe(build_()) : std::vector<Shortcuts::MenuItem>{};
}

std::vector<Shortcuts::MenuItem> AppMainMenu::describe(const std::vector<MenuItem>& items) {
    std::vector<Shortcuts::MenuItem> described;
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::separator || item.kind == MenuItem::Kind::label) continue;
        Shortcuts::MenuItem entry;
        entry.title = item.title;
        if (item.keyEquivalent) {
            unicode::appendUtf8(entry.keyEquivalent, item.keyEquivalent->key.character);
            entry.modifierMask =
                Shortcuts::ModifierFlags::fromEventModifiers(item.keyEquivalent->modifiers);
        }
        entry.boundName = item.boundName;
        entry.submenu = describe(item.submenu);
        described.push_back(std::move(entry));
    }
    return described;
}

}  // namespace vorela
