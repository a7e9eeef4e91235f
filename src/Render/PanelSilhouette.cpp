#include "Render/PanelSilhouette.h"

#include <algorithm>

namespace vorela {

namespace {
using K = PathElement::Kind;

double fitted(double radius, Size size) {
    return std::max(0.0, std::min({radius, size.height / 2, size.width / 2}));
}
}  // namespace

double PanelSilhouette::radius(Size size) const {
    return fitted(isNotch ? kNotchRadius : kRoundedRadius, size);
}

std::vector<PathElement> PanelSilhouette::path(const Rect& rect) const {
    if (isNotch) return notchPanelPath(rect, kNotchRadius);
    const double r = radius(rect.size());
    // A rounded rectangle drawn with quadratic corners: close enough to the smooth corner
    // at these radii, and one path type for both shapes.
    const double x0 = rect.minX(), x1 = rect.maxX(), y0 = rect.minY(), y1 = rect.maxY();
    return {{K::moveTo, {x0 + r, y0}, {}},       {K::lineTo, {x1 - r, y0}, {}},
            {K::quadTo, {x1, y0 + r}, {x1, y0}}, {K::lineTo, {x1, y1 - r}, {}},
            {K::quadTo, {x1 - r, y1}, {x1, y1}}, {K::lineTo, {x0 + r, y1}, {}},
            {K::quadTo, {x0, y1 - r}, {x0, y1}}, {K::lineTo, {x0, y0 + r}, {}},
            {K::quadTo, {x0 + r, y0}, {x0, y0}}, {K::close, {}, {}}};
}

std::vector<PathElement> notchPanelPath(const Rect& rect, double radius) {
    const double r = fitted(radius, rect.size());
    const double x0 = rect.minX(), x1 = rect.maxX(), y0 = rect.minY(), y1 = rect.maxY();
    return {{K::moveTo, {x0, y0}, {}},
            {K::lineTo, {x0, y1 - r}, {}},
            {K::quadTo, {x0 + r, y1}, {x0, y1}},
            {K::lineTo, {x1 - r, y1}, {}},
            {K::quadTo, {x1, y1 - r}, {x1, y1}},
            {K::lineTo, {x1, y0}, {}},
            {K::close, {}, {}}};
}

}  // namespace vorela
