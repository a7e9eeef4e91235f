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

bool contains(const Rect& r, Point p) {
    return p.x >= r.minX() && p.x < r.maxX() && p.y >= r.minY() && p.y < r.maxY();
}

const std::optional<Rect> kNoRect;
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
    tokenRects_.assign(tokens_->size(), std::nullopt);
    lineStarts_.clear();
    contentHeight_ = 0;
    if (tokens_->empty() || !layout_) return;
    contentHeight_ = layout_->height();
    for (const Token& token : *tokens_) {
        if (token.index < 0 || static_cast<std::size_t>(token.index) >= tokenRects_.size())
            continue;
        const auto pieces = layout_->segmentRects(token.utf16Range);
        if (pieces.empty()) continue;
        Rect rect = pieces.front();
        for (std::size_t i = 1; i < pieces.size(); ++i) rect = unite(rect, pieces[i]);
        tokenRects_[static_cast<std::size_t>(token.index)] = rect;
        if (lineStarts_.empty() ||
            std::abs(rect.minY() - lineStarts_.back().top) > kLineTolerance) {
            lineStarts_.push_back({rect.minY(), token.index});
        }
    }
}

const std::optional<Rect>& PrompterTextView::tokenRect(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= tokenRects_.size()) return kNoRect;
    return tokenRects_[static_cast<std::size_t>(index)];
}

std::optional<double> PrompterTextView::scrollOffsetForToken(long index) const {
    const auto& rect = tokenRect(index);
    if (!rect) return std::nullopt;
    return std::max(rect->midY(), 0.0);
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
    // Index order makes the answer deterministic: the lowest index wins.
    for (std::size_t i = 0; i < tokenRects_.size(); ++i) {
        if (tokenRects_[i] && contains(*tokenRects_[i], content)) return static_cast<long>(i);
    }
    std::optional<long> nearest;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < tokenRects_.size(); ++i) {
        const auto& r = tokenRects_[i];
        if (!r || content.y < r->minY() || content.y > r->maxY()) continue;
        const double distance = std::abs(r->midX() - content.x);
        if (distance < best) best = distance, nearest = static_cast<long>(i);
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
    const auto& r = tokenRect(currentTokenIndex_);
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
    if (onManualScroll_) onManualScroll_(delta);
}

void PrompterTextView::mouseDown(Point viewPoint) {
    if (auto index = tokenIndexAt(viewPoint); index && onTokenClicked_) onTokenClicked_(*index);
}

void PrompterTextView::mouseEntered() {
    if (const auto monitor = hoverMonitor_.lock()) monitor->mouseEntered();
}

void PrompterTextView::mouseExited() {
    if (const auto monitor = hoverMonitor_.lock()) monitor->mouseExited();
}

void PrompterTextView::needsDisplay() const {
    if (onNeedsDisplay_) onNeedsDisplay_();
}

}  // namespace vorela
