#include "Shortcuts/ShortcutStore.h"

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Observation/NotificationCenter.h"

namespace vorela::Shortcuts {

ShortcutStore::ShortcutStore(std::shared_ptr<UserDefaults> defaults,
                             NotificationCenter& notifications)
    : defaults_(std::move(defaults)), notifications_(notifications) {}

std::string ShortcutStore::key(std::string_view rawValue) {
    std::string k(kStorageKeyPrefix);
    k += rawValue;
    return k;
}

std::optional<PropertyList> ShortcutStore::userDefaultsValue(const Name& name) const {
    return defaults_->object(key(name.rawValue()));
}

StoredShortcut ShortcutStore::storedShortcut(const Name& name) const {
    const auto value = userDefaultsValue(name);
    if (!value) return {};
    if (const bool* flag = value->boolean(); flag && !*flag) {
        return {StoredShortcut::State::removed, std::nullopt};
    }
    if (const std::string* text = value->string()) {
        if (auto shortcut = Shortcut::decoded(*text)) {
            return {StoredShortcut::State::shortcut, shortcut};
        }
    }
    return {};
}

void ShortcutStore::setInitialShortcutIfNeeded(const Shortcut& shortcut,
                                               std::string_view rawValue) {
    const std::string k = key(rawValue);
    if (defaults_->object(k)) return;
    if (const auto text = shortcut.encoded()) defaults_->set(k, *text);
}

void ShortcutStore::writeEncodedShortcut(const Name& name, const std::string& json) {
    defaults_->set(key(name.rawValue()), json);
}

void ShortcutStore::writeRemovedMarker(const Name& name) {
    defaults_->set(key(name.rawValue()), false);
}

void ShortcutStore::removeValue(const Name& name) { defaults_->remove(key(name.rawValue())); }

std::set<Name> ShortcutStore::storedNames() const {
    std::set<Name> names;
    for (const auto& [k, value] : defaults_->dictionaryRepresentation()) {
        if (k.starts_with(kStorageKeyPrefix)) {
            names.insert(Name(k.substr(kStorageKeyPrefix.size())));
        }
    }
    return names;
}

void ShortcutStore::postDidChange(const Name& name) {
    notifications_.post(kShortcutByNameDidChange, NotificationUserInfo{{"name", name}});
}

}  // namespace vorela::Shortcuts
