#include "Platform/Capture/CapturedImage.h"

#include <algorithm>
#include <cstring>

namespace vorela {

CapturedImage CapturedImage::filled(int width, int height, std::uint32_t rgb) {
    CapturedImage image;
    image.width = std::max(width, 0);
    image.height = std::max(height, 0);
    image.rgba.resize(std::size_t(image.width) * std::size_t(image.height) * 4);
    image.fill({0, 0, image.width, image.height}, rgb);
    return image;
}

void CapturedImage::fill(const PixelRect& area, std::uint32_t rgb) {
    const auto inside = clipped(area);
    if (!inside) return;
    const std::uint8_t pixel[4] = {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8),
                                   std::uint8_t(rgb), 0xFF};
    for (long y = inside->y; y < inside->y + inside->height; ++y) {
        std::uint8_t* row = rgba.data() + (std::size_t(y) * std::size_t(width)) * 4;
        for (long x = inside->x; x < inside->x + inside->width; ++x)
            std::memcpy(row + std::size_t(x) * 4, pixel, 4);
    }
}

std::optional<PixelRect> CapturedImage::clipped(const PixelRect& area) const {
    // An image whose buffer is shorter than its size claims has no pixels to read.
    if (rgba.size() < std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0)) * 4)
        return std::nullopt;
    const long left = std::max(area.x, 0L);
    const long top = std::max(area.y, 0L);
    const long right = std::min(area.x + area.width, long(width));
    const long bottom = std::min(area.y + area.height, long(height));
    if (right - left < 1 || bottom - top < 1) return std::nullopt;
    return PixelRect{left, top, right - left, bottom - top};
}

std::optional<CapturedImage> CapturedImage::cropped(const PixelRect& area) const {
    const auto inside = clipped(area);
    if (!inside) return std::nullopt;
    CapturedImage cut;
    cut.width = int(inside->width);
    cut.height = int(inside->height);
    const std::size_t rowBytes = std::size_t(cut.width) * 4;
    cut.rgba.resize(rowBytes * std::size_t(cut.height));
    for (long y = 0; y < inside->height; ++y) {
        const std::uint8_t* from =
            rgba.data() + (std::size_t(inside->y + y) * std::size_t(width) + inside->x) * 4;
        std::memcpy(cut.rgba.data() + std::size_t(y) * rowBytes, from, rowBytes);
    }
    return cut;
}

}  // namespace vorela
