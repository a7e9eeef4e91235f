#include "Matcher/MatchState.h"

namespace vorela {

std::string_view rawValue(MatchState state) {
    switch (state) {
        case MatchState::locked:
            return "locked";
        case MatchState::searching:
            return "searching";
        case MatchState::lost:
            return "lost";
    }
    return "searching";
}

std::optional<MatchState> fromRawValue(std::type_identity<MatchState>, std::string_view raw) {
    for (auto state : {MatchState::locked, MatchState::searching, MatchState::lost}) {
        if (rawValue(state) == raw) return state;
    }
    return std::nullopt;
}

}  // namespace vorela
