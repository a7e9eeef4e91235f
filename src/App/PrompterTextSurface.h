#pragma once

#include <memory>
#include <optional>

#include "Platform/Display/DisplayLink.h"

namespace vorela {

class HoverMonitor;

// What the central state needs of the text view that shows the script: the scroll
// offset, where each word sits, the word at the reading line, and a display link for the
// frame clock. Offsets are points from the top of the laid-out text, y growing downwards.
// Main thread only. The state holds a surface weakly; a surface whose view is gone
// answers as an empty view.
class PrompterTextSurface : public DisplayLinkSource {
public:
    PrompterTextSurface() = default;
    ~PrompterTextSurface() override = default;
    PrompterTextSurface(const PrompterTextSurface&) = delete;
    PrompterTextSurface& operator=(const PrompterTextSurface&) = delete;
    PrompterTextSurface(PrompterTextSurface&&) = delete;
    PrompterTextSurface& operator=(PrompterTextSurface&&) = delete;

    virtual double scrollY() const = 0;
    // Moves the text to the offset; redraws only when the offset changed.
    virtual void setScrollY(double y) = 0;
    virtual double contentHeight() const = 0;
    virtual double fontSize() const = 0;
    // The vertical middle of the word's rectangle (never below 0); nothing when the word
    // has no rectangle (out of range, or nothing laid out yet).
    virtual std::optional<double> scrollOffsetForToken(long index) const = 0;
    // The first word of the line at the reading line; nothing without lines.
    virtual std::optional<long> tokenIndexAtReadingLine() const = 0;
    // Pointer enter and exit go to this monitor from now on, while it lives; an empty
    // one stops them.
    virtual void setHoverMonitor(std::weak_ptr<HoverMonitor> monitor) = 0;
};

}  // namespace vorela
