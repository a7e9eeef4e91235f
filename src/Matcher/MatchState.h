#pragma once

#include <optional>
#include <string_view>
#include <type_traits>

namespace vorela {

// Where the matcher stands: `locked` after an accepted position, `searching` before the
// first acceptance or since a failure, `lost` after lostTimeout seconds without one.
// Stored and logged by the case names.
enum class MatchState { locked, searching, lost };

std::string_view rawValue(MatchState state);
std::optional<MatchState> fromRawValue(std::type_identity<MatchState>, std::string_view raw);

}  // namespace vorela
