#pragma once

#include <array>

#include "Matcher/MatcherConfig.h"

namespace vorela {

// A tunable of the running matcher that the diagnostics tab edits: its label, its field
// and its slider's range.
struct MatcherParameter {
    const char* label;
    const char* objectName;
    double MatcherConfig::*field;
    double minimum;
    double maximum;
};

inline constexpr std::array<MatcherParameter, 6> kMatcherParameters = {{
    {"Umbral para mover", "thetaLockSlider", &MatcherConfig::thetaLock, 0.3, 0.9},
    {"Umbral para saltar", "thetaJumpSlider", &MatcherConfig::thetaJump, 0.5, 0.95},
    {"Umbral para reenganchar", "thetaRecoverSlider", &MatcherConfig::thetaRecover, 0.4, 0.95},
    {"Castigo por hueco", "gapPenaltySlider", &MatcherConfig::gapPenalty, 0, 0.5},
    {"Premio por cercanía", "proximityBonusSlider", &MatcherConfig::proximityBonus, 0, 0.5},
    {"Paciencia antes de perderse (s)", "lostTimeoutSlider", &MatcherConfig::lostTimeout, 0.5, 8},
}};

}  // namespace vorela
