#include "Prefs/DefaultRegistration.h"

#include <algorithm>

namespace vorela::Prefs {

namespace {
bool sameOwner(const std::weak_ptr<UserDefaults>& a, const std::shared_ptr<UserDefaults>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}
}  // namespace

void DefaultRegistration::ensureRegistered(const std::shared_ptr<UserDefaults>& suite) {
    std::lock_guard lock(mutex_);
    // A suite's address may be reused after it is destroyed, so the fast path also
    // checks that the suite remembered is this very object.
    if (suite.get() == lastSuite_ && sameOwner(lastSuiteRef_, suite)) return;
    std::erase_if(suites_, [](const auto& s) { return s.expired(); });
    const bool known = std::any_of(suites_.begin(), suites_.end(),
                                   [&](const auto& s) { return sameOwner(s, suite); });
    if (!known) {
        suite->registerDefaults({{name_, object_}});
        suites_.push_back(suite);
    }
    lastSuite_ = suite.get();
    lastSuiteRef_ = suite;
}

}  // namespace vorela::Prefs
