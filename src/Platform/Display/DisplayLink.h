#pragma once

#include <functional>
#include <memory>

namespace vorela {

// A frame clock tied to the display a view is on. The frame callback runs on the main
// thread once per refresh of that display, with the frame's time stamp in seconds on the
// monotonic uptime clock. A link runs from creation until it is paused or destroyed; a
// paused link delivers no frame and costs no wake-up until it is resumed. Destroying it on
// the main thread guarantees that no further callback runs.
class DisplayLink {
public:
    using FrameCallback = std::function<void(double timestampSeconds)>;

    DisplayLink() = default;
    virtual ~DisplayLink() = default;
    virtual void setPaused(bool paused) = 0;
    virtual bool isPaused() const = 0;
    // The time stamp a frame delivered at this moment would carry, in seconds: what a
    // resumed link's first frame is measured from. NaN while the link cannot tell.
    virtual double timestampNow() const = 0;
    DisplayLink(const DisplayLink&) = delete;
    DisplayLink& operator=(const DisplayLink&) = delete;
    DisplayLink(DisplayLink&&) = delete;
    DisplayLink& operator=(DisplayLink&&) = delete;
};

// Something a display link can be made from: a view, whose link follows the display the
// view is shown on. Called on the main thread.
class DisplayLinkSource {
public:
    virtual ~DisplayLinkSource() = default;
    virtual std::unique_ptr<DisplayLink> makeDisplayLink(DisplayLink::FrameCallback onFrame) = 0;
};

}  // namespace vorela
