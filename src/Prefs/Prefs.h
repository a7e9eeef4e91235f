#pragma once

#include <concepts>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Prefs/AnySerializable.h"
#include "Prefs/Bridge.h"
#include "Prefs/CloudSync.h"
#include "Prefs/CodableBridge.h"
#include "Prefs/ContainerBridges.h"
#include "Prefs/Key.h"
#include "Prefs/ValueBridges.h"

// The preferences store: typed keys over user-defaults suites. It keeps no state of its
// own and no cache; every read asks the key's suite and every write goes to it at once.
namespace vorela::Prefs {

template <class T>
T get(const Key<T>& key) {
    return key.value();
}

template <class T>
void set(const Key<T>& key, const std::type_identity_t<T>& value) {
    key.setValue(value);
}

// Reads once, lets the function change the value, writes once. Not atomic with respect
// to other writers of the same entry.
template <class T, class F>
void update(const Key<T>& key, F&& change) {
    T value = key.value();
    std::invoke(std::forward<F>(change), value);
    key.setValue(value);
}

// Resets each key, in order, on its own suite.
template <class... Keys>
requires(std::derived_from<Keys, AnyKey>&&...) void reset(const Keys&... keys) {
    (keys.reset(), ...);
}
void reset(const std::vector<std::reference_wrapper<const AnyKey>>& keys);

// Removes each named entry from the suite, in order.
void reset(const std::vector<std::string>& names, UserDefaults& suite);

// Removes every entry the suite lists in its dictionary representation.
void removeAll(UserDefaults& suite);

// False for a name that begins with "@" or holds "." or any character outside ASCII;
// the empty name is valid.
bool isValidKeyPath(std::string_view name);

}  // namespace vorela::Prefs
