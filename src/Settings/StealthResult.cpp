#include "Settings/StealthResult.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vorela {

void to_json(nlohmann::json& json, const StealthResult& result) {
    json = nlohmann::json{{"checkedAt", result.checkedAt.secondsSinceReference()},
                          {"isVisible", result.isVisible},
                          {"osVersion", result.osVersion},
                          {"patternMatch", result.patternMatch}};
}

void from_json(const nlohmann::json& json, StealthResult& result) {
    // nlohmann reads true as 1.0, so numbers are checked by hand. at() and get() throw on a missing
    // or mistyped member: the store reads nothing then.
    const auto& checkedAt = json.at("checkedAt");
    const auto& patternMatch = json.at("patternMatch");
    if (!checkedAt.is_number() || !patternMatch.is_number()) {
        throw std::invalid_argument("checkedAt and patternMatch must be numbers");
    }
    result.checkedAt = Date::fromReference(checkedAt.get<double>());
    result.isVisible = json.at("isVisible").get<bool>();
    result.osVersion = json.at("osVersion").get<std::string>();
    result.patternMatch = patternMatch.get<double>();
}

namespace Prefs::Keys {
const Key<std::optional<StealthResult>>& lastStealthResult() {
    static const Key<std::optional<StealthResult>> key("lastStealthResult");
    return key;
}
}  // namespace Prefs::Keys

}  // namespace vorela
