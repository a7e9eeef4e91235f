#pragma once

#include <optional>
#include <vector>

#include "Platform/Capture/CapturedImage.h"
#include "Platform/Foundation/Geometry.h"
#include "Platform/Screens/Screens.h"

// How much of the test colour a screenshot holds where the panel is.
namespace vorela::StealthMeasure {

// The panel's frame (desktop points) as pixels of a screenshot of its screen, whose
// display is widthPixels × heightPixels: scaled per axis by the display's pixels per
// point, origin moved to the screen's top-left corner, rounded half away from zero.
PixelRect panelRegion(const Rect& panelFrame, const Rect& screenFrame, int widthPixels,
                      int heightPixels);

// The fraction of sampled pixels of the region (clipped to the image) that carry the
// test colour: every fourth pixel in memory order from the top-left one, a match being
// R ≥ 201, G ≤ 79, B ≥ 201, divided by a quarter of the region's pixel count rounded down.
// 0 for a region of fewer than 4 pixels or outside the image.
double patternRatio(const CapturedImage& image, const PixelRect& region);

// The screen holding the largest part of the frame; nothing when no screen touches it.
std::optional<Screen> screenOf(const Rect& frame, const std::vector<Screen>& screens);

}  // namespace vorela::StealthMeasure
