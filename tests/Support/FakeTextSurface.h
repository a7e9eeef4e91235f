#pragma once

#include <optional>
#include <vector>

#include "App/PrompterTextSurface.h"
#include "Platform/Display/Fake/FakeDisplayLink.h"

namespace vorela {

// A text view reduced to where each word sits: token i has its own offset, by default one
// word per line of `pitch` points (the middle of word i at (i + 0.5) * pitch). Counts the
// redraws that offset changes cause and makes fake display links a test fires by hand.
class FakeTextSurface final : public PrompterTextSurface {
public:
    explicit FakeTextSurface(long tokenCount = 0, double pitch = 20, double fontSize = 28);

    double scrollY() const override { return scrollY_; }
    void setScrollY(double y) override;
    double contentHeight() const override { return contentHeight_; }
    double fontSize() const override { return fontSize_; }
    std::optional<double> scrollOffsetForToken(long index) const override;
    std::optional<long> tokenIndexAtReadingLine() const override;
    void setHoverMonitor(std::weak_ptr<HoverMonitor> monitor) override {
        hoverMonitor_ = std::move(monitor);
    }
    std::unique_ptr<DisplayLink> makeDisplayLink(DisplayLink::FrameCallback onFrame) override;

    // --- test controls ---
    void layOut(long tokenCount, double pitch);
    // Offsets by token index (a missing one: the word has no rectangle), and the height.
    void setOffsets(std::vector<std::optional<double>> offsets, double contentHeight);
    // One display frame at this time stamp, in seconds.
    void fire(double timestampSeconds) const { frames_.fire(timestampSeconds); }
    // Frames every 1/60 s from `start` for `seconds`; returns the time stamp after the last.
    double runFrames(double start, double seconds, double rate = 60) const;
    int linksMade() const { return frames_.madeCount(); }
    int redrawCount() const { return redraws_; }
    std::shared_ptr<HoverMonitor> hoverMonitor() const { return hoverMonitor_.lock(); }

private:
    std::vector<std::optional<double>> offsets_;
    double contentHeight_ = 0;
    double fontSize_ = 28;
    double scrollY_ = 0;
    int redraws_ = 0;
    std::weak_ptr<HoverMonitor> hoverMonitor_;
    FakeDisplayLinkSource frames_;
};

}  // namespace vorela
