#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "Platform/Defaults/PropertyList.h"
#include "Shortcuts/Name.h"
#include "Shortcuts/Shortcut.h"

namespace vorela {
class NotificationCenter;
class UserDefaults;
}  // namespace vorela

namespace vorela::Shortcuts {

inline constexpr std::string_view kStorageKeyPrefix = "Shortcuts_";
// Posted synchronously after a name's keys changed; user info "name" holds the Name.
inline constexpr std::string_view kShortcutByNameDidChange = "Shortcuts_shortcutByNameDidChange";

// A name's stored value as the registry reads it: a shortcut, the Boolean false of a
// removed default, or nothing usable (absent, or any other value).
struct StoredShortcut {
    enum class State { shortcut, removed, notSet };
    State state = State::notSet;
    std::optional<Shortcut> shortcut;
};

// The user-defaults side of named shortcuts: one key per name, "Shortcuts_" + name,
// holding the shortcut's compact JSON text or the Boolean false. Reads never repair or
// remove a value they cannot read. Main thread.
class ShortcutStore {
public:
    ShortcutStore(std::shared_ptr<UserDefaults> defaults, NotificationCenter& notifications);

    static std::string key(std::string_view rawValue);

    std::optional<PropertyList> userDefaultsValue(const Name& name) const;
    StoredShortcut storedShortcut(const Name& name) const;
    std::optional<Shortcut> shortcut(const Name& name) const {
        return storedShortcut(name).shortcut;
    }

    // Stores the shortcut only when nothing at all is stored under the name; no
    // notification, no hot keys.
    void setInitialShortcutIfNeeded(const Shortcut& shortcut, std::string_view rawValue);

    // Stores a shortcut's JSON text (from Shortcut::encoded()).
    void writeEncodedShortcut(const Name& name, const std::string& json);
    void writeRemovedMarker(const Name& name);
    void removeValue(const Name& name);

    // Every stored name, built from the keys, without initial shortcuts.
    std::set<Name> storedNames() const;

    void postDidChange(const Name& name);

private:
    std::shared_ptr<UserDefaults> defaults_;
    NotificationCenter& notifications_;
};

}  // namespace vorela::Shortcuts
