#pragma once

#include <algorithm>

namespace vorela {

// Screen geometry in points. Screen and window rectangles use one coordinate space for
// the whole desktop: origin at the bottom-left corner of the primary screen, y growing
// upward. Toolkits with a top-left, y-down space convert at their edge.
struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
    Size size() const { return {width, height}; }
    bool isEmpty() const { return width <= 0 || height <= 0; }

    // True only for a shared area: rectangles that merely touch, or an empty rectangle,
    // intersect nothing.
    bool intersects(const Rect& other) const {
        if (isEmpty() || other.isEmpty()) return false;
        return minX() < other.maxX() && other.minX() < maxX() && minY() < other.maxY() &&
               other.minY() < maxY();
    }

    // Area shared with another rectangle; 0 when they do not intersect.
    double intersectionArea(const Rect& other) const {
        if (!intersects(other)) return 0;
        const double w = std::min(maxX(), other.maxX()) - std::max(minX(), other.minX());
        const double h = std::min(maxY(), other.maxY()) - std::max(minY(), other.minY());
        return w * h;
    }

    bool operator==(const Rect&) const = default;
};

// Turns a rectangle of a top-left, y-down desktop space (the toolkit's) into the
// bottom-left, y-up space above. primary is the primary screen's rectangle in the
// toolkit's space; its bottom-left corner becomes the origin.
inline Rect fromTopLeftSpace(const Rect& r, const Rect& primary) {
    return {r.x - primary.x, (primary.y + primary.height) - (r.y + r.height), r.width, r.height};
}

// The inverse of fromTopLeftSpace.
inline Rect toTopLeftSpace(const Rect& r, const Rect& primary) {
    return {r.x + primary.x, (primary.y + primary.height) - (r.y + r.height), r.width, r.height};
}

}  // namespace vorela
