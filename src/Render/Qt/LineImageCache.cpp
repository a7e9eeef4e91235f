#include "Render/Qt/LineImageCache.h"

#include <QPainter>
#include <cmath>

#include "Render/Qt/QtTextLayoutEngine.h"

namespace vorela {

namespace {
// Room for antialiasing around the glyphs' boxes, in points.
constexpr double kMargin = 1;
}  // namespace

void LineImageCache::beginFrame(const Style& style, std::size_t first, std::size_t last) {
    if (!(style == style_)) {
        lines_.clear();
        style_ = style;
    }
    std::erase_if(lines_,
                  [&](const auto& entry) { return entry.first < first || entry.first >= last; });
}

const LineImageCache::Line& LineImageCache::line(const QtTextLayout& layout, std::size_t index) {
    auto found = lines_.find(index);
    if (found == lines_.end()) found = lines_.emplace(index, draw(layout, index)).first;
    return found->second;
}

LineImageCache::Line LineImageCache::draw(const QtTextLayout& layout, std::size_t index) const {
    // Only the glyphs' ink is kept: the blend and shading of a frame touch nothing else.
    const QRectF ink = layout.inkRect(index);
    if (ink.isEmpty()) return {};
    // Whole points at the left and top keep the glyphs' subpixel placement as laid out.
    const double left = std::floor(ink.left()) - kMargin;
    const double top = std::floor(ink.top()) - kMargin;
    const double width = std::ceil(ink.right()) + kMargin - left;
    const double height = std::ceil(ink.bottom()) + kMargin - top;
    const qreal ratio = style_.pixelRatio;
    QImage image(static_cast<int>(std::ceil(width * ratio)),
                 static_cast<int>(std::ceil(height * ratio)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(QColor::fromRgba(style_.color));
        layout.drawLines(p, index, index + 1, QPointF(-left, -top));
    }
    if (style_.flipX || style_.flipY) image = image.mirrored(style_.flipX, style_.flipY);
    return {std::move(image), QPointF(left, top)};
}

}  // namespace vorela
