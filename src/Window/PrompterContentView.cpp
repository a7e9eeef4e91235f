#include "Window/PrompterContentView.h"

#include <algorithm>
#include <cmath>

#include "Platform/Foundation/Format.h"
#include "Render/Brand.h"
#include "Voice/VoiceProfile.h"
#include "Voice/VoiceStatus.h"

namespace vorela::PrompterContentView {

std::string timeString(double seconds) {
    // A rate of 0 or a corrupt profile could hand in NaN or infinity; casting those to an
    // integer is undefined, so they read as nothing left.
    if (!std::isfinite(seconds) || seconds <= 0) return "0:00";
    // Far beyond any script, but keeps the cast defined.
    constexpr double kLongest = 1e12;
    const auto total = static_cast<long long>(std::round(std::min(seconds, kLongest)));
    const long long minutes = total % 3600 / 60, secs = total % 60;
    if (total < 3600) return format("%lld:%02lld", minutes, secs);
    return format("%lld:%02lld:%02lld", total / 3600, minutes, secs);
}

double topInset(PanelMode effectiveMode, double notchHeight) {
    return effectiveMode == PanelMode::notch ? notchHeight : 0;
}

Color matchStateColor(const VoiceStatus& status) {
    Color accent = Brand::accent();
    switch (status.kind()) {
        case VoiceStatus::Kind::off:
            return Color::sRGB(0, 0, 0, 0);
        case VoiceStatus::Kind::preparing:
        case VoiceStatus::Kind::searching:
            accent.alpha = 0.8;
            return accent;
        case VoiceStatus::Kind::ready:
            return Color::sRGB(1, 1, 1, 0.4);
        case VoiceStatus::Kind::following:
            return Color::sRGB(0, 1, 0, 0.7);
        case VoiceStatus::Kind::lost:
        case VoiceStatus::Kind::problem:
            return Color::sRGB(1, 0, 0, 0.6);
    }
    return Color::sRGB(0, 0, 0, 0);
}

double meterMarkerFraction(const VoiceProfile& profile) { return profile.speechThresholdLevel(); }

Color meterFillColor(bool isSpeaking) {
    return isSpeaking ? Color::sRGB(0, 1, 0, 0.85) : Color::sRGB(1, 1, 1, 0.45);
}

const Color& stealthPatternColor() {
    static const Color kMagenta = Color::sRGB(1, 0, 1, 1);
    return kMagenta;
}

}  // namespace vorela::PrompterContentView
