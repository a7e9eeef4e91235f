#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Foundation/Geometry.h"
#include "Platform/Observation/CallbackSlot.h"
#include "Render/TextLayout.h"
#include "Render/Theme.h"
#include "Script/Token.h"

namespace vorela {

class HoverMonitor;

// The prompter's text: the script laid out once per rebuild in a column 44 pt narrower
// than the view, where every word landed, and what a frame draws around the reading line.
// Toolkit-free: a view widget paints what it computes and forwards its events. View
// coordinates have y growing downwards from the top edge. Main thread only.
class PrompterTextView {
public:
    static constexpr double kHorizontalInset = 22;
    static constexpr double kFadeHeight = 28;
    // Slack above and below the visible band, so partly visible lines are drawn.
    static constexpr double kBandSlack = 40;
    // A line starts where a word's top moves by more than this.
    static constexpr double kLineTolerance = 1.0;

    struct LineStart {
        double top = 0;
        long tokenIndex = 0;
        bool operator==(const LineStart&) const = default;
    };
    // Edge fade: opaque between top and bottom, as fractions of the view height.
    struct FadeStops {
        double top = 0;
        double bottom = 1;
    };

    explicit PrompterTextView(TextLayoutEngine& engine, Theme theme = Theme{});

    // --- state ---
    // A new text lays the script out again; new tokens over the same text only find
    // where their words landed.
    void setContent(std::string text, std::shared_ptr<const std::vector<Token>> tokens);
    const std::string& text() const { return text_; }
    const std::vector<Token>& tokens() const { return *tokens_; }
    void setTheme(const Theme& theme);
    const Theme& theme() const { return theme_; }
    void setScrollY(double y);
    double scrollY() const { return scrollY_; }
    void setCurrentTokenIndex(long index);
    long currentTokenIndex() const { return currentTokenIndex_; }
    // The view's size changed (the toolkit's layout pass).
    void setViewSize(Size size);
    Size viewSize() const { return viewSize_; }

    // --- layout results ---
    void rebuildContent();
    // Found from the layout when asked: a load only notes the lines each word spans.
    std::optional<Rect> tokenRect(long index) const;
    const std::vector<LineStart>& lineStarts() const { return lineStarts_; }
    double contentHeight() const { return contentHeight_; }
    double lastLayoutWidth() const { return lastLayoutWidth_; }
    const TextLayout* layout() const { return layout_.get(); }
    // Changes whenever the script is laid out again, so a drawing of the old layout can
    // tell it is stale.
    std::uint64_t layoutGeneration() const { return layoutGeneration_; }

    // --- queries of the central state ---
    std::optional<double> scrollOffsetForToken(long index) const;
    std::optional<long> tokenIndexAtReadingLine() const;
    // point is where the pointer is on screen, in view coordinates: a mirrored drawing is
    // mirrored back first, so the word drawn under the pointer is the one found.
    std::optional<long> tokenIndexAt(Point viewPoint) const;

    // --- what a frame draws ---
    double readingLineY() const;
    // The layout lines inside the visible band, [first, last).
    std::pair<std::size_t, std::size_t> visibleLines() const;
    // Where content point (0, 0) lands in the unmirrored drawing.
    Point contentOrigin() const { return {kHorizontalInset, readingLineY() - scrollY_}; }
    // The current word's highlight in content coordinates, when drawn.
    std::optional<Rect> highlightRect() const;
    FadeStops fadeStops() const;
    // The line pitch a non-precise wheel step scrolls.
    double lineHeight() const;
    TextStyle textStyle() const;

    // --- events ---
    void scrollWheel(double deltaY, bool hasPreciseDeltas);
    void mouseDown(Point viewPoint);
    void mouseEntered();
    void mouseExited();

    // Each stays installed while its subscription lives.
    [[nodiscard]] Subscription setOnTokenClicked(std::function<void(long)> f) {
        return onTokenClicked_.install(std::move(f));
    }
    [[nodiscard]] Subscription setOnManualScroll(std::function<void(double)> f) {
        return onManualScroll_.install(std::move(f));
    }
    [[nodiscard]] Subscription setOnNeedsDisplay(std::function<void()> f) {
        return onNeedsDisplay_.install(std::move(f));
    }
    // The same text was laid out again at a new width or in a new style: every word may
    // have moved. Not called for new content.
    [[nodiscard]] Subscription setOnRelayout(std::function<void()> f) {
        return onRelayout_.install(std::move(f));
    }
    // Pointer enter and exit go to this monitor while it lives.
    void setHoverMonitor(std::weak_ptr<HoverMonitor> monitor) {
        hoverMonitor_ = std::move(monitor);
    }

private:
    void rebuildTokenRects();
    void needsDisplay() const;
    // The tokens whose lines reach the content height y, in text order.
    std::vector<long> tokensAtHeight(double y) const;
    Point unmirrored(Point viewPoint) const;

    TextLayoutEngine& engine_;
    std::string text_;
    std::shared_ptr<const std::vector<Token>> tokens_ = std::make_shared<std::vector<Token>>();
    long currentTokenIndex_ = 0;
    Theme theme_;
    double scrollY_ = 0;
    Size viewSize_;
    std::unique_ptr<TextLayout> layout_;
    std::uint64_t layoutGeneration_ = 0;
    // Where each word sits, by token index: its position in tokens_ and the first and last
    // layout line it covers (none: it has no rectangle). Twelve bytes a word.
    struct TokenLines {
        static constexpr std::uint32_t kNone = UINT32_MAX;
        std::uint32_t position = 0;
        std::uint32_t first = kNone;
        std::uint32_t last = kNone;
    };
    std::vector<TokenLines> tokenLines_;
    std::vector<LineStart> lineStarts_;
    double contentHeight_ = 0;
    double lastLayoutWidth_ = 0;
    CallbackSlot<long> onTokenClicked_;
    CallbackSlot<double> onManualScroll_;
    CallbackSlot<> onNeedsDisplay_;
    CallbackSlot<> onRelayout_;
    std::weak_ptr<HoverMonitor> hoverMonitor_;
};

}  // namespace vorela
