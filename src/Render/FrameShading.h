#pragma once

#include <vector>

namespace vorela {

class PrompterTextView;

// How much of the prompter's drawing shows at each height of the view, so that a frame
// can be painted straight onto the panel with no offscreen pass: the edge fade (clear at
// the top and bottom edges, opaque from fadeTop to fadeBottom) and the upward dim (black
// at 0.88, 0.42 and 0 at the top, 45 % of the way and the reading line). Text under the
// dim is drawn darkened by it over the dim's black, which is what black over the text
// gives. Heights are view points, y down, before mirroring.
struct FrameShading {
    double height = 0;
    double fadeTop = 0;
    double fadeBottom = 0;
    double dimEnd = 0;  // the reading line while passed text is dimmed, else 0

    static FrameShading of(const PrompterTextView& view);

    // Opacity the edge fade leaves at y, 0...1.
    double fade(double y) const;
    // Alpha of the dim's black at y, 0 below the reading line.
    double dim(double y) const;
    // True when [top, bottom] lies where nothing fades or dims: drawn as is.
    bool isPlain(double top, double bottom) const;
    // Heights, ascending, at which a gradient of fade() and dim() (or of their product)
    // stays within a hundredth of the true curve between neighbours.
    std::vector<double> stops() const;
};

}  // namespace vorela
