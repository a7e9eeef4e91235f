#pragma once

#include <QImage>
#include <QPointF>
#include <cstddef>
#include <cstdint>
#include <map>

namespace vorela {

class QtTextLayout;

// The prompter's lines, each rasterised once into a premultiplied image of its own, so a
// frame blends a handful of images instead of drawing every glyph again. Images follow one
// layout in one colour at one pixel ratio and one mirroring; a frame that asks with
// anything else starts afresh. Only the lines a frame asked for are kept. Main
// thread only.
class LineImageCache {
public:
    struct Style {
        std::uint64_t layoutGeneration = 0;
        QRgb color = 0;
        qreal pixelRatio = 1;
        bool flipX = false;
        bool flipY = false;
        bool operator==(const Style&) const = default;
    };
    struct Line {
        QImage image;     // with its pixel ratio set, flipped as the style asks
        QPointF topLeft;  // of the unflipped image, in content coordinates
    };

    // A frame starts: another style drops every image, and lines outside [first, last)
    // are forgotten.
    void beginFrame(const Style& style, std::size_t first, std::size_t last);
    // Line index of layout, drawn when first asked for in this style.
    const Line& line(const QtTextLayout& layout, std::size_t index);
    std::size_t size() const { return lines_.size(); }

private:
    Line draw(const QtTextLayout& layout, std::size_t index) const;

    Style style_;
    std::map<std::size_t, Line> lines_;
};

}  // namespace vorela
