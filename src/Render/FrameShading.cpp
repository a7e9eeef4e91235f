#include "Render/FrameShading.h"

#include <algorithm>

#include "Render/PrompterTextView.h"

namespace vorela {

namespace {
// Stops of the upward dim: alpha at the top, at 45 % of the way, at the reading line.
constexpr double kDimTop = 0.88;
constexpr double kDimMiddle = 0.42;
constexpr double kDimMiddleAt = 0.45;
// Where fade and dim overlap their product is a parabola; eight pieces keep a linear
// gradient of it within 0.01 of the curve.
constexpr int kProductPieces = 8;

double lerp(double a, double b, double t) { return a + (b - a) * t; }
}  // namespace

FrameShading FrameShading::of(const PrompterTextView& view) {
    const double h = view.viewSize().height;
    const auto stops = view.fadeStops();
    const double line = view.readingLineY();
    return {h, stops.top * h, stops.bottom * h, view.theme().dimPassedText && line > 0 ? line : 0};
}

double FrameShading::fade(double y) const {
    if (height <= 0 || y <= 0 || y >= height) return 0;
    if (y < fadeTop) return y / fadeTop;
    if (y > fadeBottom) return (height - y) / (height - fadeBottom);
    return 1;
}

double FrameShading::dim(double y) const {
    if (dimEnd <= 0 || y >= dimEnd) return 0;
    const double middle = kDimMiddleAt * dimEnd;
    if (y <= 0) return kDimTop;
    if (y < middle) return lerp(kDimTop, kDimMiddle, y / middle);
    return lerp(kDimMiddle, 0, (y - middle) / (dimEnd - middle));
}

bool FrameShading::isPlain(double top, double bottom) const {
    return top >= std::max(fadeTop, dimEnd) && bottom <= fadeBottom;
}

std::vector<double> FrameShading::stops() const {
    std::vector<double> ys{0, fadeTop, fadeBottom, height};
    if (dimEnd > 0) {
        ys.push_back(kDimMiddleAt * dimEnd);
        ys.push_back(dimEnd);
    }
    const double overlap = std::min(fadeTop, dimEnd);
    for (int i = 1; i < kProductPieces; ++i) ys.push_back(overlap * i / kProductPieces);
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::erase_if(ys, [this](double y) { return y < 0 || y > height; });
    return ys;
}

}  // namespace vorela
