#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "Platform/Display/DisplayLink.h"

namespace vorela {

class AccessibilitySettings;

// The prompter's frame clock. Every display frame it lets its owner advance the reading
// position (onTick), then eases scrollY exponentially toward targetY and reports the new
// offset (onChange). The display link runs only while something moves: while the owner
// needs ticks (needsTicks answers true) or the scroll has not reached its target. Once
// both are still it pauses the link, so a still panel costs no wake-up; a new target, a
// new offset or wake() resumes it, and its first frame is measured from the moment of
// the wake (a pause is no time step). Main thread only. The frame step allocates nothing.
class ScrollEngine {
public:
    using ChangeCallback = std::function<void(double scrollY)>;
    using TickCallback = std::function<void(double dtSeconds)>;
    using NeedsTicks = std::function<bool()>;

    // Snap distance in points: closer than this the offset jumps onto the target.
    static constexpr double kSnapDistance = 0.05;
    // Time constant used while the desktop asks for reduced motion, in seconds.
    static constexpr double kReducedMotionTau = 0.05;

    // accessibility must outlive the engine.
    ScrollEngine(double baseTau, const AccessibilitySettings& accessibility);
    ~ScrollEngine();
    ScrollEngine(const ScrollEngine&) = delete;
    ScrollEngine& operator=(const ScrollEngine&) = delete;
    ScrollEngine(ScrollEngine&&) = delete;
    ScrollEngine& operator=(ScrollEngine&&) = delete;

    // Creates the display link from the view the first time; later calls do nothing. The
    // link then lives as long as the engine, paused while everything is still.
    void start(DisplayLinkSource& view);
    // Resumes frames if the owner now needs ticks or the scroll is off its target. Call it
    // when whatever needsTicks reads has changed.
    void wake();
    // One frame with the display's time stamp in seconds.
    void step(double timestampSeconds);

    double baseTau() const { return baseTau_; }
    double targetY() const { return targetY_; }
    void setTargetY(double y);
    double scrollY() const { return scrollY_; }
    void setScrollY(double y);
    bool hasDisplayLink() const { return displayLink_ != nullptr; }
    // The link exists and delivers frames.
    bool isRunning() const { return displayLink_ && !displayLink_->isPaused(); }

    const ChangeCallback& onChange() const { return onChange_; }
    void setOnChange(ChangeCallback callback) { onChange_ = std::move(callback); }
    void setOnTick(TickCallback callback) { onTick_ = std::move(callback); }
    void setNeedsTicks(NeedsTicks needsTicks) { needsTicks_ = std::move(needsTicks); }

private:
    void advance(double dt);
    bool isStill() const;
    void pauseIfStill();

    double baseTau_ = 0.18;
    double targetY_ = 0;
    double scrollY_ = 0;
    ChangeCallback onChange_;
    TickCallback onTick_;
    NeedsTicks needsTicks_;
    std::optional<double> lastTimestamp_;
    const AccessibilitySettings& accessibility_;
    // Last: destroyed first, so no frame reaches a half-destroyed engine.
    std::unique_ptr<DisplayLink> displayLink_;
};

}  // namespace vorela
