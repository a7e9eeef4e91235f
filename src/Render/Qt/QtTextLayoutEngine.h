#pragma once

#include <QFont>
#include <memory>
#include <vector>

#include "Render/TextLayout.h"

class QPainter;
class QPointF;
class QRectF;
class QTextLayout;

namespace vorela {

// A script laid out with QTextLayout, one layout per paragraph, lines placed one under the
// other with the style's extra spacing. Lines are drawn one at a time, so a frame touches
// only the lines it shows.
class QtTextLayout final : public TextLayout {
public:
    QtTextLayout();
    ~QtTextLayout() override;
    QtTextLayout(const QtTextLayout&) = delete;
    QtTextLayout& operator=(const QtTextLayout&) = delete;
    QtTextLayout(QtTextLayout&&) = delete;
    QtTextLayout& operator=(QtTextLayout&&) = delete;

    const std::vector<LayoutLine>& lines() const override { return lines_; }
    double height() const override { return lines_.empty() ? 0 : lines_.back().bottom; }
    std::vector<Rect> segmentRects(Utf16Range range) const override;

    // Draws lines [first, last) with the painter's pen, content origin at origin.
    void drawLines(QPainter& painter, std::size_t first, std::size_t last,
                   const QPointF& origin) const;
    // What line index's glyphs cover, in content coordinates; empty for a blank line.
    QRectF inkRect(std::size_t index) const;

private:
    friend class QtTextLayoutEngine;
    struct LineRef {
        std::size_t paragraph = 0;
        int line = 0;
    };
    std::vector<std::unique_ptr<QTextLayout>> paragraphs_;
    std::vector<std::size_t> paragraphStarts_;  // UTF-16 offset of each paragraph
    std::vector<LayoutLine> lines_;
    std::vector<LineRef> refs_;
};

class QtTextLayoutEngine final : public TextLayoutEngine {
public:
    std::unique_ptr<TextLayout> layout(std::string_view utf8Text, double width,
                                       const TextStyle& style) override;
    // The first candidate that is installed; the system font stands behind them all.
    static QFont resolveFont(const FontDescription& description);
};

}  // namespace vorela
