#pragma once

#include <optional>

#include "Platform/Foundation/Geometry.h"

namespace vorela {

struct Screen;

// Where the camera notch of one screen is, in desktop points.
struct NotchMetrics {
    Rect screenFrame;
    // The frame without the top bar and docks.
    Rect visibleFrame;
    // The camera housing at the top edge; nothing on a screen without one.
    std::optional<Rect> notchRect;

    // A notch exists only when the safe area has a top inset, both top-bar strips exist
    // and some width is left between them.
    explicit NotchMetrics(const Screen& screen);
    NotchMetrics(Rect screenFrame, Rect visibleFrame, std::optional<Rect> notchRect)
        : screenFrame(screenFrame), visibleFrame(visibleFrame), notchRect(notchRect) {}

    bool hasNotch() const { return notchRect.has_value(); }
    double notchHeight() const { return notchRect ? notchRect->height : 0; }

    bool operator==(const NotchMetrics&) const = default;
};

}  // namespace vorela
