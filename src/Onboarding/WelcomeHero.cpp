#include "Onboarding/WelcomeHero.h"

#include <algorithm>
#include <numeric>

#include "Platform/Accessibility/AccessibilitySettings.h"
#include "Platform/Loop/RunLoop.h"
#include "Render/Brand.h"

namespace vorela {
namespace {

constexpr double kMinMicLevel = 0.25;
constexpr double kMaxMicLevel = 0.85;
constexpr double kMicLevelBias = 0.45;  // keeps the quietest bar visible

Color white(double opacity) { return Color::sRGB(1, 1, 1, opacity); }

Color mix(const Color& a, const Color& b, double t) {
    auto lerp = [t](double x, double y) { return x * (1 - t) + y * t; };  // exact at both ends
    return {lerp(a.red, b.red), lerp(a.green, b.green), lerp(a.blue, b.blue),
            lerp(a.alpha, b.alpha)};
}

}  // namespace

const std::vector<std::vector<double>>& WelcomeHero::rows() {
    static const std::vector<std::vector<double>> kRows = {
        {44, 26, 58, 34, 30},
        {32, 50, 28, 44, 38},
        {40, 34, 56, 30},
        {48, 30, 42, 36, 26},
    };
    return kRows;
}

int WelcomeHero::totalWords() {
    static const int kTotal = std::accumulate(
        rows().begin(), rows().end(), 0,
        [](int sum, const auto& row) { return sum + static_cast<int>(row.size()); });
    return kTotal;
}

int WelcomeHero::currentRow(int spoken) {
    int remainder = spoken;
    for (std::size_t row = 0; row < rows().size(); ++row) {
        const int length = static_cast<int>(rows()[row].size());
        if (length > remainder) return static_cast<int>(row);
        remainder -= length;
    }
    return static_cast<int>(rows().size()) - 1;
}

Color WelcomeHero::color(int spoken, int row, int word) {
    int index = word;
    for (int r = 0; r < row; ++r) index += static_cast<int>(rows()[r].size());
    if (index == spoken) return Brand::accent();
    return index > spoken ? white(0.55) : white(0.18);
}

double WelcomeHero::rowsOffset(int spoken) {
    return kRowPitchPoints * std::max(currentRow(spoken) - 1, 0);
}

double WelcomeHero::progressFraction(int spoken) {
    return static_cast<double>(spoken + 1) / totalWords();
}

double WelcomeHero::micBarHeight(int bar, double micLevel) {
    return kMicBarScales.at(static_cast<std::size_t>(bar)) * (micLevel + kMicLevelBias);
}

WelcomeHero::WelcomeHero(RunLoop& loop, const AccessibilitySettings& accessibility, int spoken,
                         double micLevel, std::uint32_t seed)
    : loop_(loop),
      accessibility_(accessibility),
      spoken_(spoken),
      previousSpoken_(spoken),
      micLevel_(micLevel),
      micGlide_(Tween::at(micLevel)),
      random_(seed) {}

void WelcomeHero::start() {
    if (timer_.isActive() || accessibility_.reduceMotion()) return;
    timer_ = loop_.scheduleRepeating(kTickSeconds, [this] { tick(); });
}

void WelcomeHero::tick() {
    const double at = now();
    previousSpoken_ = spoken_;
    spoken_ = (spoken_ + 1) % totalWords();
    spokenGlide_ = {0, 1, at, kSpokenAnimationSeconds, Tween::Curve::easeInOut};
    // Our own scale over the generator's whole range keeps the closed range and gives
    // the same levels with every standard library.
    const double unit = static_cast<double>(random_() - std::mt19937::min()) /
                        static_cast<double>(std::mt19937::max() - std::mt19937::min());
    micLevel_ = kMinMicLevel + (kMaxMicLevel - kMinMicLevel) * unit;
    micGlide_ = micGlide_.retargeted(micLevel_, at, kMicAnimationSeconds, Tween::Curve::easeInOut);
    observers_.notify();
}

double WelcomeHero::now() const { return loop_.uptime(); }

Color WelcomeHero::drawnColor(int row, int word) const {
    return mix(color(previousSpoken_, row, word), color(spoken_, row, word),
               spokenGlide_.value(now()));
}

double WelcomeHero::drawnRowsOffset() const {
    const double t = spokenGlide_.value(now());
    return rowsOffset(previousSpoken_) + (rowsOffset(spoken_) - rowsOffset(previousSpoken_)) * t;
}

double WelcomeHero::drawnProgressFraction() const {
    const double t = spokenGlide_.value(now());
    return progressFraction(previousSpoken_) +
           (progressFraction(spoken_) - progressFraction(previousSpoken_)) * t;
}

double WelcomeHero::drawnMicBarHeight(int bar) const {
    return micBarHeight(bar, micGlide_.value(now()));
}

bool WelcomeHero::isGliding() const {
    const double at = now();
    return !spokenGlide_.isDone(at) || !micGlide_.isDone(at);
}

}  // namespace vorela
