#include "Render/Qt/QtTextLayoutEngine.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace vorela {

QtTextLayout::QtTextLayout() = default;
QtTextLayout::~QtTextLayout() = default;

std::vector<Rect> QtTextLayout::segmentRects(Utf16Range range) const {
    std::vector<Rect> rects;
    if (range.length == 0 || lines_.empty()) return rects;
    // The first line that ends after the range starts.
    auto it =
        std::upper_bound(lines_.begin(), lines_.end(), range.location,
                         [](std::size_t pos, const LayoutLine& l) { return pos < l.utf16End; });
    for (; it != lines_.end() && it->utf16Start < range.end(); ++it) {
        const auto& ref = refs_[static_cast<std::size_t>(it - lines_.begin())];
        const QTextLine line = paragraphs_[ref.paragraph]->lineAt(ref.line);
        const std::size_t base = paragraphStarts_[ref.paragraph];
        const std::size_t from = std::max<std::size_t>(range.location, it->utf16Start) - base;
        const std::size_t to = std::min<std::size_t>(range.end(), it->utf16End) - base;
        if (from >= to) continue;
        const double x1 = line.cursorToX(static_cast<int>(from));
        const double x2 = line.cursorToX(static_cast<int>(to));
        rects.push_back({std::min(x1, x2), it->top, std::abs(x2 - x1), it->bottom - it->top});
    }
    return rects;
}

void QtTextLayout::drawLines(QPainter& painter, std::size_t first, std::size_t last,
                             const QPointF& origin) const {
    last = std::min(last, lines_.size());
    for (std::size_t i = first; i < last; ++i) {
        const auto& ref = refs_[i];
        paragraphs_[ref.paragraph]->lineAt(ref.line).draw(&painter, origin);
    }
}

QRectF QtTextLayout::inkRect(std::size_t index) const {
    const auto& ref = refs_.at(index);
    QRectF ink;
    for (const QGlyphRun& run : paragraphs_[ref.paragraph]->lineAt(ref.line).glyphRuns())
        ink |= run.boundingRect();
    return ink;
}

QFont QtTextLayoutEngine::resolveFont(const FontDescription& description) {
    for (const auto& candidate : description.candidates) {
        QFont font;
        switch (candidate.kind) {
            case FontCandidate::Kind::system:
                font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
                break;
            case FontCandidate::Kind::systemMonospaced:
                font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
                break;
            case FontCandidate::Kind::family: {
                const QString name = QString::fromStdString(candidate.familyName);
                // "serif" is fontconfig's alias for the desktop's serif face, always present.
                if (name != QLatin1String("serif") &&
                    !QFontDatabase::families().contains(name, Qt::CaseInsensitive)) {
                    continue;
                }
                font = QFont(name);
                if (name == QLatin1String("serif")) font.setStyleHint(QFont::Serif);
                break;
            }
        }
        // Sizes are in points of the panel's coordinate space, which are Qt's logical pixels.
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(candidate.size))));
        if (candidate.weight) {
            font.setWeight(*candidate.weight == FontWeight::semibold ? QFont::DemiBold
                                                                     : QFont::Normal);
        }
        return font;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

std::unique_ptr<TextLayout> QtTextLayoutEngine::layout(std::string_view utf8Text, double width,
                                                       const TextStyle& style) {
    auto result = std::make_unique<QtTextLayout>();
    const QString text =
        QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size()));
    if (text.isEmpty()) return result;
    const QFont font = resolveFont(style.font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(Qt::AlignLeft);

    double y = 0;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const bool last = end < 0;
        if (last) end = text.size();
        auto paragraph = std::make_unique<QTextLayout>(text.mid(start, end - start), font);
        paragraph->setTextOption(option);
        paragraph->setCacheEnabled(true);
        paragraph->beginLayout();
        const std::size_t index = result->paragraphs_.size();
        for (QTextLine line = paragraph->createLine(); line.isValid();
             line = paragraph->createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            const auto lineStart = static_cast<std::size_t>(start + line.textStart());
            auto lineEnd = static_cast<std::size_t>(start + line.textStart() + line.textLength());
            // The line feed belongs to its paragraph's last line.
            if (!last && lineEnd == static_cast<std::size_t>(end)) ++lineEnd;
            result->lines_.push_back({y, y + line.height(), lineStart, lineEnd});
            result->refs_.push_back({index, line.lineNumber()});
            y += line.height() + style.lineSpacing;
        }
        paragraph->endLayout();
        result->paragraphs_.push_back(std::move(paragraph));
        result->paragraphStarts_.push_back(static_cast<std::size_t>(start));
        if (last) break;
        start = end + 1;
    }
    return result;
}

}  // namespace vorela
