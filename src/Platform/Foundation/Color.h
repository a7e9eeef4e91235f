#pragma once

namespace vorela {

// A colour in the sRGB space, components 0-1. The core names colours with it; views turn
// it into the toolkit's colour type at their edge.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static constexpr Color sRGB(double r, double g, double b, double a = 1) { return {r, g, b, a}; }
    // 8-bit components (0-255), as design tools give them.
    static constexpr Color sRGB8(int r, int g, int b) {
        return {r / 255.0, g / 255.0, b / 255.0, 1};
    }

    bool operator==(const Color&) const = default;
};

}  // namespace vorela
