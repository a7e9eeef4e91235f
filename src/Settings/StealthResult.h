#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

#include "Platform/Time/Date.h"
#include "Prefs/Key.h"

namespace vorela {

// The outcome of one screen-capture visibility check.
struct StealthResult {
    bool isVisible = false;   // the best pattern ratio reached the visibility threshold
    std::string osVersion;    // the system version the check ran on
    Date checkedAt;           // the end of the check
    double patternMatch = 0;  // the best pattern ratio of the screenshots, 0 to 1
    bool operator==(const StealthResult&) const = default;
};

// Stored as one JSON object with the keys "checkedAt" (seconds since 1 January 2001
// UTC), "isVisible", "osVersion" and "patternMatch"; any other shape reads as nothing.
void to_json(nlohmann::json& json, const StealthResult& result);
void from_json(const nlohmann::json& json, StealthResult& result);

namespace Prefs::Keys {
// The last successful check; written only by the checker. Not synchronised.
const Key<std::optional<StealthResult>>& lastStealthResult();
}  // namespace Prefs::Keys

}  // namespace vorela
