#pragma once

#include <vector>

#include "Platform/Foundation/Geometry.h"

namespace vorela {

// A path in view coordinates (y down) that a toolkit turns into its own path type.
struct PathElement {
    enum class Kind { moveTo, lineTo, quadTo, close };
    Kind kind = Kind::moveTo;
    Point to;
    Point control;  // quadTo only
    bool operator==(const PathElement&) const = default;
};

// The outline the panel content is clipped to: in the notch placement a flat top with
// square corners that joins the screen's top edge and rounded lower corners (radius 24);
// otherwise a rounded rectangle (radius 14). Radii never exceed half the width or height.
struct PanelSilhouette {
    static constexpr double kNotchRadius = 24;
    static constexpr double kRoundedRadius = 14;

    bool isNotch = false;

    double radius(Size size) const;
    std::vector<PathElement> path(const Rect& rect) const;
};

// The notch outline with lower corners of the given radius, cut to half the rectangle's
// height and width.
std::vector<PathElement> notchPanelPath(const Rect& rect, double radius);

}  // namespace vorela
