#include "Settings/StealthMeasure.h"

#include <cmath>

namespace vorela::StealthMeasure {

PixelRect panelRegion(const Rect& panelFrame, const Rect& screenFrame, int widthPixels,
                      int heightPixels) {
    if (screenFrame.isEmpty()) return {};
    const double scaleX = widthPixels / screenFrame.width;
    const double scaleY = heightPixels / screenFrame.height;
    // std::lround rounds halves away from zero.
    return {std::lround(scaleX * (panelFrame.minX() - screenFrame.minX())),
            std::lround(scaleY * (screenFrame.maxY() - panelFrame.maxY())),
            std::lround(scaleX * panelFrame.width), std::lround(scaleY * panelFrame.height)};
}

double patternRatio(const CapturedImage& image, const PixelRect& region) {
    const auto inside = image.clipped(region);
    if (!inside) return 0;
    const std::size_t pixels = std::size_t(inside->width) * std::size_t(inside->height);
    if (pixels < 4) return 0;
    std::size_t matches = 0;
    std::size_t index = 0;  // pixel index within the cut, in memory order
    for (; index < pixels; index += 4) {
        const std::size_t row = index / std::size_t(inside->width);
        const std::size_t column = index % std::size_t(inside->width);
        const std::uint8_t* p =
            image.rgba.data() + ((std::size_t(inside->y) + row) * std::size_t(image.width) +
                                 std::size_t(inside->x) + column) *
                                    4;
        if (p[0] >= 201 && p[1] <= 79 && p[2] >= 201) ++matches;
    }
    return double(matches) / double(pixels / 4);
}

std::optional<Screen> screenOf(const Rect& frame, const std::vector<Screen>& screens) {
    std::optional<Screen> best;
    double bestArea = 0;
    for (const Screen& s : screens) {
        const double area = s.frame.intersectionArea(frame);
        if (area > bestArea) {
            bestArea = area;
            best = s;
        }
    }
    return best;
}

}  // namespace vorela::StealthMeasure
