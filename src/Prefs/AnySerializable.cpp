#include "Prefs/AnySerializable.h"

#include <bit>
#include <string_view>

namespace vorela::Prefs {

namespace {

bool equalObjects(const PropertyList& a, const PropertyList& b);

template <class T>
std::optional<bool> equalAs(const PropertyList& a, const PropertyList& b) {
    auto x = nativeCast<T>(a);
    auto y = nativeCast<T>(b);
    if (!x || !y) return std::nullopt;
    return *x == *y;
}

bool equalObjects(const PropertyList& a, const PropertyList& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (auto r = equalAs<PlistData>(a, b)) return *r;
    if (auto r = equalAs<Date>(a, b)) return *r;
    if (auto r = equalAs<bool>(a, b)) return *r;
    if (auto r = equalAs<std::int64_t>(a, b)) return *r;
    if (auto r = equalAs<std::uint64_t>(a, b)) return *r;
    if (auto r = equalAs<double>(a, b)) return *r;
    if (auto r = equalAs<std::string>(a, b)) return *r;
    if (a.dictionary() && b.dictionary()) {
        const auto& x = *a.dictionary();
        const auto& y = *b.dictionary();
        if (x.size() != y.size()) return false;
        for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j) {
            if (i->first != j->first || !equalObjects(i->second, j->second)) return false;
        }
        return true;
    }
    if (a.array() && b.array()) {
        const auto& x = *a.array();
        const auto& y = *b.array();
        if (x.size() != y.size()) return false;
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (!equalObjects(x[i], y[i])) return false;
        }
        return true;
    }
    return false;
}

std::size_t combine(std::size_t seed, std::size_t value) {
    return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

// Equal holders hash alike: numbers hash by their integer value when they have one, so
// 1 and 1.0 agree; each kind has a seed of its own.
std::size_t hashObject(const PropertyList& object) {
    const auto kind = static_cast<std::size_t>(object.type());
    if (auto d = object.data()) {
        std::string_view bytes(reinterpret_cast<const char*>(d->data()), d->size());
        return combine(kind, std::hash<std::string_view>{}(bytes));
    }
    if (auto d = object.date()) return combine(kind, std::hash<double>{}(d->secondsSince1970));
    if (auto b = object.boolean()) return combine(kind, *b ? 1 : 0);
    if (auto i = object.asInt64()) return combine(1000, std::hash<std::int64_t>{}(*i));
    // Above the signed range; the same seed, as a real of that value is equal to it.
    if (auto u = object.asUInt64()) return combine(1000, std::hash<std::uint64_t>{}(*u));
    if (auto r = object.real())
        return combine(1001, std::hash<std::uint64_t>{}(std::bit_cast<std::uint64_t>(*r)));
    if (auto s = object.string()) return combine(kind, std::hash<std::string>{}(*s));
    std::size_t seed = kind;
    if (auto dict = object.dictionary()) {
        for (const auto& [key, value] : *dict) {
            seed = combine(seed, std::hash<std::string>{}(key));
            seed = combine(seed, hashObject(value));
        }
    } else if (auto array = object.array()) {
        seed = combine(seed, array->size());
        for (const auto& element : *array) seed = combine(seed, hashObject(element));
    }
    return seed;
}

}  // namespace

AnySerializable AnySerializable::fromObject(PropertyList object) {
    AnySerializable out;
    out.value_ = std::move(object);
    return out;
}

AnySerializable AnySerializable::array(std::initializer_list<AnySerializable> elements) {
    PlistArray out;
    out.reserve(elements.size());
    // A property list cannot hold "no value": empty elements and entries are left out.
    for (const auto& e : elements) {
        if (!e.isEmpty()) out.push_back(e.value_);
    }
    return fromObject(PropertyList(std::move(out)));
}

AnySerializable AnySerializable::dictionary(
    std::initializer_list<std::pair<const std::string, AnySerializable>> entries) {
    PlistDictionary out;
    for (const auto& [key, value] : entries) {
        if (!value.isEmpty()) out.insert_or_assign(key, value.value_);
    }
    return fromObject(PropertyList(std::move(out)));
}

bool AnySerializable::operator==(const AnySerializable& other) const {
    return equalObjects(value_, other.value_);
}

std::size_t AnySerializable::hash() const { return hashObject(value_); }

}  // namespace vorela::Prefs
