#include "Prefs/AnyKey.h"

namespace vorela::Prefs {

AnyKey::AnyKey(std::string name, std::shared_ptr<UserDefaults> suite)
    : name_(std::move(name)), suite_(std::move(suite)) {}

std::shared_ptr<UserDefaults> AnyKey::suite() const {
    return suite_ ? suite_ : UserDefaults::standard();
}

void AnyKey::reset() const { suite()->remove(name_); }

bool AnyKey::operator==(const AnyKey& other) const {
    return name_ == other.name_ && suite() == other.suite();
}

std::size_t AnyKey::hash() const {
    const std::size_t h = std::hash<std::string>{}(name_);
    const std::size_t s = std::hash<const UserDefaults*>{}(suite().get());
    return h ^ (s + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
}

}  // namespace vorela::Prefs
