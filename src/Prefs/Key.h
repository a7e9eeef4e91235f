#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "Prefs/AnyKey.h"
#include "Prefs/AnySerializable.h"
#include "Prefs/Bridge.h"
#include "Prefs/CloudSync.h"
#include "Prefs/CodableBridge.h"
#include "Prefs/ContainerBridges.h"
#include "Prefs/DefaultRegistration.h"
#include "Prefs/ValueAccess.h"
#include "Prefs/ValueBridges.h"

namespace vorela::Prefs {

// A default computed anew on every read that finds no stored entry; such a key never
// registers anything. Make one with dynamicDefault([] { ... }).
template <class T>
struct DynamicDefault {
    explicit DynamicDefault(std::function<T()> f) : getter(std::move(f)) {}
    std::function<T()> getter;
};

template <class F>
DynamicDefault<std::invoke_result_t<F>> dynamicDefault(F getter) {
    return DynamicDefault<std::invoke_result_t<F>>(std::move(getter));
}

// A typed preference: one entry of a suite, its default and its value type.
//
// Declare each key once, lazily, in the file of the code that owns it:
//   namespace vorela::Prefs::Keys { const Key<double>& wpm(); }
//   const Key<double>& Keys::wpm() { static const Key<double> key("wpm", 140.0); return key; }
// A key made without a suite follows the standard suite (see AnyKey). A fixed default
// is converted once and registered on each suite the key is used with; a default that
// is an empty optional, or that does not convert, registers nothing and reads fall back
// to it directly. With the cloud flag the key is handed to cloud() after registering.
// Keys are immutable after creation and may be used from any thread.
template <Serializable T>
class Key : public AnyKey {
public:
    using Value = T;

    Key(std::string name, T defaultValue, std::shared_ptr<UserDefaults> suite = nullptr,
        bool cloud = false)
        : AnyKey(std::move(name), std::move(suite)),
          defaultGetter_([d = defaultValue] { return d; }) {
        if (!isNilValue(defaultValue)) {
            if (auto object = Bridge<T>::toSerializable(defaultValue)) {
                registration_ =
                    std::make_shared<DefaultRegistration>(this->name(), std::move(*object));
                registration_->ensureRegistered(AnyKey::suite());
            }
        }
        if (cloud) Prefs::cloud().add(*this);
    }

    Key(std::string name, DynamicDefault<T> defaultValue,
        std::shared_ptr<UserDefaults> suite = nullptr, bool cloud = false)
        : AnyKey(std::move(name), std::move(suite)),
          defaultGetter_(std::move(defaultValue.getter)) {
        if (cloud) Prefs::cloud().add(*this);
    }

    // Only for optional values (and AnySerializable): the default is "no value".
    explicit Key(std::string name, std::shared_ptr<UserDefaults> suite = nullptr,
                 bool cloud = false) requires OptionalValue<T>
        : Key(std::move(name), T{}, std::move(suite), cloud) {}

    T defaultValue() const { return defaultGetter_(); }

    // The stored value converted to T; the default when nothing is stored or registered
    // or the stored object does not convert. Never fails.
    T value() const {
        auto suite = preparedSuite();
        if (auto v = getValue<T>(*suite, name())) return std::move(*v);
        return defaultValue();
    }

    // Stores the value; an empty optional removes the entry. A value that does not
    // convert leaves the stored entry as it was (logged).
    void setValue(const T& value) const { Prefs::setValue(*preparedSuite(), name(), value); }

    bool isDefaultValue() const override {
        if constexpr (std::equality_comparable<T>) {
            return value() == defaultValue();
        } else {
            return false;
        }
    }

private:
    std::shared_ptr<UserDefaults> preparedSuite() const {
        auto suite = AnyKey::suite();
        if (registration_) registration_->ensureRegistered(suite);
        return suite;
    }

    std::function<T()> defaultGetter_;
    std::shared_ptr<DefaultRegistration> registration_;  // null when nothing registers
};

}  // namespace vorela::Prefs
