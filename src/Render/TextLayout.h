#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "Platform/Foundation/Geometry.h"
#include "Render/ThemeFont.h"
#include "Script/Token.h"

namespace vorela {

// How a text is laid out: its font and the extra space between lines, in points.
struct TextStyle {
    FontDescription font;
    double lineSpacing = 0;
    bool operator==(const TextStyle&) const = default;
};

// One laid-out line in content coordinates: x from the left edge of the text column,
// y growing downwards from the top of the first line. Positions are UTF-16 code units
// into the whole text, [utf16Start, utf16End).
struct LayoutLine {
    double top = 0;
    double bottom = 0;
    std::size_t utf16Start = 0;
    std::size_t utf16End = 0;
    bool operator==(const LayoutLine&) const = default;
};

// A text laid out once at one width. Immutable; queries are cheap (no layout work).
class TextLayout {
public:
    virtual ~TextLayout() = default;
    // Every line, top to bottom.
    virtual const std::vector<LayoutLine>& lines() const = 0;
    // Bottom of the lowest line; 0 for no lines.
    virtual double height() const = 0;
    // The rectangles a range covers, one per line piece, top to bottom. A range outside
    // the text, or empty, covers nothing.
    virtual std::vector<Rect> segmentRects(Utf16Range range) const = 0;
};

// Lays out plain text in a column: paragraphs split at line feeds, lines wrapped at word
// boundaries, else anywhere. Main thread only.
class TextLayoutEngine {
public:
    virtual ~TextLayoutEngine() = default;
    virtual std::unique_ptr<TextLayout> layout(std::string_view utf8Text, double width,
                                               const TextStyle& style) = 0;
};

}  // namespace vorela
