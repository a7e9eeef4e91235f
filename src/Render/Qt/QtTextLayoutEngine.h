#pragma once

#include <QFont>
#include <QString>
#include <list>
#include <memory>
#include <vector>

#include "Render/TextLayout.h"

class QPainter;
class QPointF;
class QRectF;
class QTextLayout;

namespace vorela {

// A script laid out with QTextLayout at one width, lines placed one under the other with
// the style's extra spacing. Only where each line breaks is kept (tens of bytes a line):
// a line's glyphs are shaped again when it is drawn or measured, and the few last asked
// for are kept, so a frame touches only the lines it shows and a long script costs
// little more than its text.
class QtTextLayout final : public TextLayout {
public:
    QtTextLayout(QString text, QFont font, double width);
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
    struct Shaped {
        std::size_t index = 0;
        std::unique_ptr<QTextLayout> layout;
    };
    // Line index shaped alone, placed where it was laid out.
    const QTextLayout& shaped(std::size_t index) const;

    QString text_;
    QFont font_;
    double width_ = 0;
    std::vector<LayoutLine> lines_;
    std::vector<bool> rightToLeft_;     // of each line's paragraph
    mutable std::list<Shaped> shaped_;  // most recent first
};

class QtTextLayoutEngine final : public TextLayoutEngine {
public:
    std::unique_ptr<TextLayout> layout(std::string_view utf8Text, double width,
                                       const TextStyle& style) override;
    // The first candidate that is installed; the system font stands behind them all.
    static QFont resolveFont(const FontDescription& description);
};

}  // namespace vorela
