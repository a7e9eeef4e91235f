#pragma once

#include <optional>

#include "Matcher/MatcherConfig.h"
#include "Platform/Time/Date.h"
#include "Prefs/Key.h"

namespace vorela {

// The user's calibration: room noise, chosen microphone sensitivity and the speaking rate
// and word error rate of the last reading test. Persisted in five preference keys on the
// standard suite; the central state is its only writer.
struct VoiceProfile {
    double noiseFloor = -50;            // dBFS of the room, from the noise calibration
    double sensitivity = 50;            // 0-100, as the user chose it
    std::optional<double> measuredWPM;  // words per minute of the last reading test
    std::optional<double> measuredWER;  // 0-1, word error rate of the same test
    std::optional<Date> calibratedAt;   // time of the last noise calibration

    // The five keys as stored, defaults where nothing is; nothing is clamped here.
    static VoiceProfile current();
    // Where the detector starts to hear speech on the level scale ((dBFS + 60) / 60):
    // noise floor plus a gate of 20 dB at sensitivity 0 down to 4 dB at 100, within 0-1;
    // a noise floor that is not a number gives 0.
    double speechThresholdLevel() const;
    // Writes all five fields in the order above; an absent value removes its entry.
    void save() const;
    // `config` adjusted to the measured word error rate: poor recognition accepts more
    // easily and penalises misses less, very good recognition is stricter. Only
    // thetaLock, thetaJump, thetaRecover and gapPenalty change. Always tune the start-up
    // configuration, never a tuned one, so that tuning does not compound.
    MatcherConfig tuned(const MatcherConfig& config) const;

    bool operator==(const VoiceProfile&) const = default;
};

namespace Prefs::Keys {
const Key<double>& noiseFloor();
const Key<double>& micSensitivity();
const Key<std::optional<double>>& measuredWPM();
const Key<std::optional<double>>& measuredWER();
const Key<std::optional<Date>>& calibratedAt();
}  // namespace Prefs::Keys

}  // namespace vorela
