#include "Voice/VoiceProfile.h"

#include <algorithm>

#include "Prefs/Prefs.h"

namespace vorela {

namespace Prefs::Keys {
const Key<double>& noiseFloor() {
    static const Key<double> key("noiseFloor", -50.0);
    return key;
}
const Key<double>& micSensitivity() {
    static const Key<double> key("micSensitivity", 50.0);
    return key;
}
const Key<std::optional<double>>& measuredWPM() {
    static const Key<std::optional<double>> key("measuredWPM");
    return key;
}
const Key<std::optional<double>>& measuredWER() {
    static const Key<std::optional<double>> key("measuredWER");
    return key;
}
const Key<std::optional<Date>>& calibratedAt() {
    static const Key<std::optional<Date>> key("calibratedAt");
    return key;
}
}  // namespace Prefs::Keys

namespace {

// Word error rates that separate poor, middling, good and very good recognition.
constexpr double kPoorWER = 0.25;
constexpr double kMiddlingWER = 0.12;
constexpr double kVeryGoodWER = 0.05;

// Lowers by the step, then holds at the floor.
double lowered(double value, double step, double floor) { return std::max(value - step, floor); }
// Raises by the step, then holds at the ceiling.
double raised(double value, double step, double ceiling) { return std::min(value + step, ceiling); }

}  // namespace

double VoiceProfile::speechThresholdLevel() const {
    const double gate = sensitivity > 0 ? 20 - 16 * std::min(sensitivity, 100.0) / 100 : 20;
    const double level = (noiseFloor + gate + 60) / 60;
    // NaN compares false both ways: the threshold then rests at 0.
    if (!(level > 0)) return 0;
    return std::min(level, 1.0);
}

VoiceProfile VoiceProfile::current() {
    VoiceProfile profile;
    profile.noiseFloor = Prefs::get(Prefs::Keys::noiseFloor());
    profile.sensitivity = Prefs::get(Prefs::Keys::micSensitivity());
    profile.measuredWPM = Prefs::get(Prefs::Keys::measuredWPM());
    profile.measuredWER = Prefs::get(Prefs::Keys::measuredWER());
    profile.calibratedAt = Prefs::get(Prefs::Keys::calibratedAt());
    return profile;
}

void VoiceProfile::save() const {
    Prefs::set(Prefs::Keys::noiseFloor(), noiseFloor);
    Prefs::set(Prefs::Keys::micSensitivity(), sensitivity);
    Prefs::set(Prefs::Keys::measuredWPM(), measuredWPM);
    Prefs::set(Prefs::Keys::measuredWER(), measuredWER);
    Prefs::set(Prefs::Keys::calibratedAt(), calibratedAt);
}

MatcherConfig VoiceProfile::tuned(const MatcherConfig& config) const {
    MatcherConfig result = config;
    if (!measuredWER) return result;
    const double wer = *measuredWER;
    if (wer >= kPoorWER) {
        result.thetaLock = lowered(config.thetaLock, 0.1, 0.42);
        result.thetaRecover = lowered(config.thetaRecover, 0.1, 0.5);
        result.gapPenalty = lowered(config.gapPenalty, 0.05, 0.05);
    } else if (wer >= kMiddlingWER) {
        result.thetaLock = lowered(config.thetaLock, 0.05, 0.48);
    } else if (wer <= kVeryGoodWER) {
        result.thetaLock = raised(config.thetaLock, 0.05, 0.7);
        result.thetaJump = raised(config.thetaJump, 0.05, 0.9);
    }
    return result;
}

}  // namespace vorela
