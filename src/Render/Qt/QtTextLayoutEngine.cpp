#include "Render/Qt/QtTextLayoutEngine.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>

#include "Ui/UnbreakableRuns.h"

namespace vorela {

namespace {

// UTF-16 units shaped at once while finding where lines break: a paragraph of any length
// costs the memory of this much.
constexpr qsizetype kChunk = 8192;
// A line ending this close to a chunk's cut may break otherwise once the text after the cut
// is seen: it is laid out again with the next chunk.
constexpr qsizetype kLookahead = 256;
// Inside a run that cannot be broken, a break is offered every this many units.
constexpr qsizetype kBreakEvery = 4;
// Lines kept shaped: a frame's lines and the highlighted word's.
constexpr std::size_t kShapedLines = 32;
constexpr char16_t kZeroWidthSpace = 0x200B;

using UnbreakableRuns::isBreakingSpace;

// Whether a break may go before text[i] without cutting a character apart.
bool startsCharacter(QStringView text, qsizetype i) {
    const QChar c = text[i], previous = text[i - 1];
    const char16_t u = c.unicode();
    return !c.isLowSurrogate() && !c.isMark() && u != 0x200D && previous.unicode() != 0x200D &&
           !(u >= 0xFE00 && u <= 0xFE0F);
}

// Text to shape: a copy of text with a zero-width space every few characters inside each
// run longer than `longest` without a space, and where each went (ascending positions in
// the copy). Qt's line breaking scans a whole run for each line it cuts from it, which is
// quadratic in the run's length; with these breaks it is linear, and a run that could not
// fit on a line anyway breaks near the column's edge as before.
struct Breakable {
    QString text;
    std::vector<qsizetype> inserted;

    // Position in the original text of position in the copy.
    qsizetype original(qsizetype position) const {
        const auto before = std::lower_bound(inserted.begin(), inserted.end(), position);
        return position - static_cast<qsizetype>(before - inserted.begin());
    }
};

Breakable breakable(QStringView text, qsizetype longest) {
    Breakable out;
    qsizetype copied = 0, runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isBreakingSpace(text[i])) continue;
        if (i - runStart > longest) {
            if (out.text.isEmpty()) out.text.reserve(text.size() + text.size() / kBreakEvery);
            out.text.append(text.sliced(copied, runStart - copied));
            qsizetype since = 0;
            for (qsizetype j = runStart; j < i; ++j, ++since) {
                if (j > runStart && since >= kBreakEvery && startsCharacter(text, j)) {
                    out.inserted.push_back(out.text.size());
                    out.text.append(QChar(kZeroWidthSpace));
                    since = 0;
                }
                out.text.append(text[j]);
            }
            copied = i;
        }
        runStart = i + 1;
    }
    if (out.inserted.empty()) {
        out.text = text.toString();
    } else {
        out.text.append(text.sliced(copied));
    }
    return out;
}

QTextOption textOption(QTextOption::WrapMode wrap, bool rightToLeft) {
    QTextOption option;
    option.setWrapMode(wrap);
    option.setAlignment(Qt::AlignLeft);
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    return option;
}

}  // namespace

QtTextLayout::QtTextLayout(QString text, QFont font, double width)
    : text_(std::move(text)), font_(std::move(font)), width_(width) {}

QtTextLayout::~QtTextLayout() = default;

const QTextLayout& QtTextLayout::shaped(std::size_t index) const {
    const auto found = std::find_if(shaped_.begin(), shaped_.end(),
                                    [&](const Shaped& s) { return s.index == index; });
    if (found != shaped_.end()) {
        shaped_.splice(shaped_.begin(), shaped_, found);
        return *shaped_.front().layout;
    }
    const LayoutLine& line = lines_.at(index);
    auto start = static_cast<qsizetype>(line.utf16Start);
    auto length = static_cast<qsizetype>(line.utf16End) - start;
    if (length > 0 && text_[start + length - 1] == u'\n') --length;
    auto layout = std::make_unique<QTextLayout>(text_.sliced(start, length), font_);
    layout->setTextOption(textOption(QTextOption::NoWrap, rightToLeft_[index]));
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine shapedLine = layout->createLine();
    shapedLine.setLineWidth(width_);
    shapedLine.setPosition(QPointF(0, line.top));
    layout->endLayout();
    shaped_.push_front({index, std::move(layout)});
    if (shaped_.size() > kShapedLines) shaped_.pop_back();
    return *shaped_.front().layout;
}

std::vector<Rect> QtTextLayout::segmentRects(Utf16Range range) const {
    std::vector<Rect> rects;
    if (range.length == 0 || lines_.empty()) return rects;
    // The first line that ends after the range starts.
    auto it =
        std::upper_bound(lines_.begin(), lines_.end(), range.location,
                         [](std::size_t pos, const LayoutLine& l) { return pos < l.utf16End; });
    for (; it != lines_.end() && it->utf16Start < range.end(); ++it) {
        const std::size_t from = std::max<std::size_t>(range.location, it->utf16Start);
        const std::size_t to = std::min<std::size_t>(range.end(), it->utf16End);
        if (from >= to) continue;
        const QTextLayout& layout = shaped(static_cast<std::size_t>(it - lines_.begin()));
        const auto shown = static_cast<std::size_t>(layout.text().size());
        const QTextLine line = layout.lineAt(0);
        const double x1 = line.cursorToX(static_cast<int>(std::min(from - it->utf16Start, shown)));
        const double x2 = line.cursorToX(static_cast<int>(std::min(to - it->utf16Start, shown)));
        rects.push_back({std::min(x1, x2), it->top, std::abs(x2 - x1), it->bottom - it->top});
    }
    return rects;
}

void QtTextLayout::drawLines(QPainter& painter, std::size_t first, std::size_t last,
                             const QPointF& origin) const {
    last = std::min(last, lines_.size());
    for (std::size_t i = first; i < last; ++i) shaped(i).lineAt(0).draw(&painter, origin);
}

QRectF QtTextLayout::inkRect(std::size_t index) const {
    QRectF ink;
    for (const QGlyphRun& run : shaped(index).lineAt(0).glyphRuns()) ink |= run.boundingRect();
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
    auto result = std::make_unique<QtTextLayout>(
        QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size())),
        resolveFont(style.font), width);
    const QStringView text(result->text_);
    if (text.isEmpty()) return result;
    // A run longer than this cannot fit on a line unless its characters average under a
    // quarter of the font's size.
    const auto longest = std::max<qsizetype>(
        64, static_cast<qsizetype>(4 * width / std::max(1, result->font_.pixelSize())));

    double y = 0;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool lastParagraph = end < 0;
        if (lastParagraph) end = text.size();
        const bool rightToLeft = text.sliced(start, end - start).isRightToLeft();
        const QTextOption option =
            textOption(QTextOption::WrapAtWordBoundaryOrAnywhere, rightToLeft);
        // The paragraph in chunks; an empty one still has its line.
        qsizetype from = start;
        do {
            qsizetype cut = std::min(end, from + kChunk);
            if (cut < end && text[cut].isLowSurrogate()) ++cut;
            const Breakable piece = breakable(text.sliced(from, cut - from), longest);
            QTextLayout layout(piece.text, result->font_);
            layout.setTextOption(option);
            layout.beginLayout();
            qsizetype next = cut;
            bool any = false;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                const qsizetype lineStart = from + piece.original(line.textStart());
                const qsizetype lineEnd =
                    from + piece.original(line.textStart() + line.textLength());
                if (cut < end && any && lineEnd > cut - kLookahead) {
                    next = lineStart;
                    break;
                }
                any = true;
                next = lineEnd;
                // The line feed belongs to its paragraph's last line.
                const qsizetype stored = lineEnd + (!lastParagraph && lineEnd == end ? 1 : 0);
                result->lines_.push_back({y, y + line.height(), static_cast<std::size_t>(lineStart),
                                          static_cast<std::size_t>(stored)});
                result->rightToLeft_.push_back(rightToLeft);
                y += line.height() + style.lineSpacing;
            }
            layout.endLayout();
            from = next;
        } while (from < end);
        if (lastParagraph) break;
        start = end + 1;
    }
    return result;
}

}  // namespace vorela
