#include "Render/PrompterTextView.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Render/HoverMonitor.h"
#include "Render/MirrorMode.h"

namespace vorela {

namespace {
Rect unite(const Rect& a, const Rect& b) {
    const double minX = std::min(a.minX(), b.minX()), minY = std::min(a.minY(), b.minY());
    const double maxX = std::max(a.maxX(), b.maxX()), maxY = std::max(a.maxY(), b.maxY());
    return {minX, minY, maxX - minX, maxY - minY};
}

std::optional<Rect> united(const std::vector<Rect>& pieces) {
    if (pieces.empty()) return std::nullopt;
    Rect rect = pieces.front();
    for (std::size_t i = 1; i < pieces.size(); ++i) rect = unite(rect, pieces[i]);
    return rect;
}

bool contains(const Rect& r, Point p) {
    return p.x >= r.minX() && p.x < r.maxX() && p.y >= r.minY() && p.y < r.maxY();
}
}  // namespace

PrompterTextView::PrompterTextView(TextLayoutEngine& engine, Theme theme)
    : engine_(engine), theme_(theme) {}

void PrompterTextView::setContent(std::string text,
                                  std::shared_ptr<const std::vector<Token>> tokens) {
    tokens_ = tokens ? std::move(tokens) : std::make_shared<std::vector<Token>>();
    // New words over the same text keep its layout: a load hands over the text and then
    // its tokens, and laying the script out for each was twice the work.
    if (text == text_ && (layout_ || viewSize_.width <= 0)) {
        rebuildTokenRects();
        needsDisplay();
        return;
    }
    text_ = std::move(text);
    rebuildContent();
}

void PrompterTextView::setTheme(const Theme& theme) {
    if (theme == theme_) return;
    theme_ = theme;
    rebuildContent();
    onRelayout_();
}

void PrompterTextView::setScrollY(double y) {
    if (y == scrollY_) return;
    scrollY_ = y;
    needsDisplay();
}

void PrompterTextView::setCurrentTokenIndex(long index) {
    if (index == currentTokenIndex_) return;
    currentTokenIndex_ = index;
    needsDisplay();
}

void PrompterTextView::setViewSize(Size size) {
    viewSize_ = size;
    // Sub-point jitter during a live resize must not relayout the whole script.
    if (std::abs(size.width - lastLayoutWidth_) > 0.5) {
        rebuildContent();
        onRelayout_();
    } else {
        needsDisplay();
    }
}

TextStyle PrompterTextView::textStyle() const {
    const auto weight = theme_.isBold ? FontWeight::semibold : FontWeight::regular;
    return {font(theme_.fontFamily, theme_.fontSize, weight),
            std::max(theme_.fontSize * (theme_.lineSpacing - 1), 0.0)};
}

double PrompterTextView::lineHeight() const {
    return theme_.fontSize + std::max(theme_.fontSize * (theme_.lineSpacing - 1), 0.0);
}

void PrompterTextView::rebuildContent() {
    lastLayoutWidth_ = viewSize_.width;
    ++layoutGeneration_;
    if (viewSize_.width <= 0) {
        // Nothing is laid out before the view has a real width: a 1 pt column would cost a
        // full layout of every word one character per line, only to be thrown away.
        layout_.reset();
    } else {
        const double column = std::max(viewSize_.width - 2 * kHorizontalInset, 1.0);
        layout_ = engine_.layout(text_, column, textStyle());
    }
    rebuildTokenRects();
    needsDisplay();
}

void PrompterTextView::rebuildTokenRects() {
    tokenLines_.assign(tokens_->size(), TokenLines{});
    lineStarts_.clear();
    contentHeight_ = 0;
    if (tokens_->empty() || !layout_) return;
    contentHeight_ = layout_->height();
    const auto& lines = layout_->lines();
    // An empty text has no line: no word can land anywhere.
    if (lines.empty()) return;
    // Words come in text order, so the search for each one's first line starts at the
    // previous word's: one walk over the lines, no glyph measured.
    auto from = lines.begin();
    for (std::size_t position = 0; position < tokens_->size(); ++position) {
        const Token& token = (*tokens_)[position];
        if (token.index < 0 || static_cast<std::size_t>(token.index) >= tokenLines_.size())
            continue;
        const Utf16Range range = token.utf16Range;
        if (range.length == 0) continue;
        // The first line that ends after the word starts, then the last that starts before
        // it ends: the lines segmentRects would measure.
        if (range.location < from->utf16Start) from = lines.begin();  // out of order
        auto first =
            std::upper_bound(from, lines.end(), range.location,
                             [](std::size_t pos, const LayoutLine& l) { return pos < l.utf16End; });
        if (first == lines.end()) {
            first = std::upper_bound(
                lines.begin(), lines.end(), range.location,
                [](std::size_t pos, const LayoutLine& l) { return pos < l.utf16End; });
        }
        if (first == lines.end() || first->utf16Start >= range.end()) continue;
        from = first;
        auto last = first;
        while (std::next(last) != lines.end() && std::next(last)->utf16Start < range.end()) ++last;
        auto& entry = tokenLines_[static_cast<std::size_t>(token.index)];
        entry = {static_cast<std::uint32_t>(position),
                 static_cast<std::uint32_t>(first - lines.begin()),
                 static_cast<std::uint32_t>(last - lines.begin())};
        if (lineStarts_.empty() || std::abs(first->top - lineStarts_.back().top) > kLineTolerance) {
            lineStarts_.push_back({first->top, token.index});
        }
    }
}

std::optional<Rect> PrompterTextView::tokenRect(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= tokenLines_.size() || !layout_)
        return std::nullopt;
    const TokenLines& entry = tokenLines_[static_cast<std::size_t>(index)];
    if (entry.first == TokenLines::kNone) return std::nullopt;
    const Utf16Range range = (*tokens_)[entry.position].utf16Range;
    if (entry.last - entry.first < 2) return united(layout_->segmentRects(range));
    // A word over many lines (a run with no space in it) fills the lines between its
    // first and last across the column: only its two ends are measured, not every line.
    const auto& lines = layout_->lines();
    auto pieces = layout_->segmentRects(
        {range.location, static_cast<std::uint32_t>(lines[entry.first].utf16End) - range.location});
    const auto start = static_cast<std::uint32_t>(lines[entry.last].utf16Start);
    for (const Rect& piece : layout_->segmentRects({start, range.end() - start}))
        pieces.push_back(piece);
    const double top = lines[entry.first].top;
    pieces.push_back({0, top, std::max(lastLayoutWidth_ - 2 * kHorizontalInset, 1.0),
                      lines[entry.last].bottom - top});
    return united(pieces);
}

std::optional<double> PrompterTextView::scrollOffsetForToken(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= tokenLines_.size() || !layout_)
        return std::nullopt;
    const TokenLines& entry = tokenLines_[static_cast<std::size_t>(index)];
    if (entry.first == TokenLines::kNone) return std::nullopt;
    // The middle of the word's rectangle, which spans its lines from top to bottom.
    const auto& lines = layout_->lines();
    return std::max((lines[entry.first].top + lines[entry.last].bottom) / 2, 0.0);
}

std::vector<long> PrompterTextView::tokensAtHeight(double y) const {
    std::vector<long> found;
    if (!layout_) return found;
    const auto& lines = layout_->lines();
    // Lines whose extent holds y, edges included: at most a few.
    auto line = std::lower_bound(lines.begin(), lines.end(), y,
                                 [](const LayoutLine& l, double v) { return l.bottom < v; });
    if (line == lines.end() || line->top > y) return found;
    auto end = line;
    while (end != lines.end() && end->top <= y) ++end;
    const auto low = static_cast<std::uint32_t>(line - lines.begin());
    const auto high = static_cast<std::uint32_t>(end - lines.begin());
    // A click is rare: one pass over the words, no glyph measured.
    for (std::size_t i = 0; i < tokenLines_.size(); ++i) {
        const TokenLines& e = tokenLines_[i];
        if (e.first != TokenLines::kNone && e.first < high && e.last >= low)
            found.push_back(static_cast<long>(i));
    }
    return found;
}

std::optional<long> PrompterTextView::tokenIndexAtReadingLine() const {
    if (lineStarts_.empty()) return std::nullopt;
    auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), scrollY_,
                                  [](double y, const LineStart& line) { return y < line.top; });
    if (after == lineStarts_.begin()) return lineStarts_.front().tokenIndex;
    return std::prev(after)->tokenIndex;
}

Point PrompterTextView::unmirrored(Point p) const {
    const auto s = scale(theme_.mirror);
    return {s.horizontal < 0 ? viewSize_.width - p.x : p.x,
            s.vertical < 0 ? viewSize_.height - p.y : p.y};
}

std::optional<long> PrompterTextView::tokenIndexAt(Point viewPoint) const {
    const Point p = unmirrored(viewPoint);
    const Point content{p.x - kHorizontalInset, scrollY_ + (p.y - readingLineY())};
    // Only words on the lines at that height can hold the point or stand beside it.
    std::vector<std::pair<long, Rect>> candidates;
    for (const long index : tokensAtHeight(content.y)) {
        if (const auto rect = tokenRect(index)) candidates.emplace_back(index, *rect);
    }
    // Index order makes the answer deterministic: the lowest index wins.
    for (const auto& [index, rect] : candidates) {
        if (contains(rect, content)) return index;
    }
    std::optional<long> nearest;
    double best = std::numeric_limits<double>::infinity();
    for (const auto& [index, rect] : candidates) {
        if (content.y < rect.minY() || content.y > rect.maxY()) continue;
        const double distance = std::abs(rect.midX() - content.x);
        if (distance < best) best = distance, nearest = index;
    }
    return nearest;
}

double PrompterTextView::readingLineY() const {
    return std::round(viewSize_.height * theme_.readingLinePosition);
}

std::pair<std::size_t, std::size_t> PrompterTextView::visibleLines() const {
    if (!layout_) return {0, 0};
    const auto& lines = layout_->lines();
    const double bandTop = scrollY_ - readingLineY() - kBandSlack;
    const double bandBottom = bandTop + viewSize_.height + 2 * kBandSlack;
    auto first = std::lower_bound(lines.begin(), lines.end(), bandTop,
                                  [](const LayoutLine& l, double y) { return l.bottom < y; });
    auto last = std::upper_bound(first, lines.end(), bandBottom,
                                 [](double y, const LayoutLine& l) { return y < l.top; });
    return {static_cast<std::size_t>(first - lines.begin()),
            static_cast<std::size_t>(last - lines.begin())};
}

std::optional<Rect> PrompterTextView::highlightRect() const {
    if (!theme_.highlightCurrentWord) return std::nullopt;
    const auto r = tokenRect(currentTokenIndex_);
    if (!r) return std::nullopt;
    return Rect{r->x - 3, r->y - 2, r->width + 6, r->height + 4};
}

PrompterTextView::FadeStops PrompterTextView::fadeStops() const {
    const double h = viewSize_.height;
    if (h <= 0) return {};
    const double top = std::min(0.4 * h, 0.78 * readingLineY()) / h;
    const double bottom = std::min(0.25 * h, kFadeHeight) / h;
    return {top, 1 - bottom};
}

void PrompterTextView::scrollWheel(double deltaY, bool hasPreciseDeltas) {
    const double delta = hasPreciseDeltas ? deltaY : deltaY * lineHeight();
    onManualScroll_(delta);
}

void PrompterTextView::mouseDown(Point viewPoint) {
    if (auto index = tokenIndexAt(viewPoint); index) onTokenClicked_(*index);
}

void PrompterTextView::mouseEntered() {
    if (const auto monitor = hoverMonitor_.lock()) monitor->mouseEntered();
}

void PrompterTextView::mouseExited() {
    if (const auto monitor = hoverMonitor_.lock()) monitor->mouseExited();
}

void PrompterTextView::needsDisplay() const { onNeedsDisplay_(); }

}  // namespace vorela
