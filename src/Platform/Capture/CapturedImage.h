#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vorela {

// A rectangle of whole pixels in an image, origin at the top-left corner, y down.
struct PixelRect {
    long x = 0;
    long y = 0;
    long width = 0;
    long height = 0;
    bool operator==(const PixelRect&) const = default;
};

// A screenshot or a cut of one: 8 bits per component, the four bytes R, G, B, A per
// pixel, rows top to bottom with no padding. Alpha is opaque for a screen capture.
struct CapturedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    // A plain image of one colour, handy for fakes and tests.
    static CapturedImage filled(int width, int height, std::uint32_t rgb);
    // Paints a rectangle (clipped to the image) in one colour.
    void fill(const PixelRect& area, std::uint32_t rgb);

    // The part of the image inside `area`; nothing when they share less than one pixel
    // in either direction.
    std::optional<CapturedImage> cropped(const PixelRect& area) const;
    // `area` clipped to the image's bounds; nothing when less than a pixel remains or
    // when the buffer is shorter than the size says.
    std::optional<PixelRect> clipped(const PixelRect& area) const;

    bool operator==(const CapturedImage&) const = default;
};

}  // namespace vorela
