#include "Render/ScrollEngine.h"

#include <cmath>

#include "Platform/Accessibility/AccessibilitySettings.h"

namespace vorela {

ScrollEngine::ScrollEngine(double baseTau, const AccessibilitySettings& accessibility)
    : baseTau_(baseTau), accessibility_(accessibility) {}

ScrollEngine::~ScrollEngine() = default;

void ScrollEngine::start(DisplayLinkSource& view) {
    if (displayLink_) return;
    displayLink_ = view.makeDisplayLink([this](double timestamp) { step(timestamp); });
    pauseIfStill();
}

void ScrollEngine::setTargetY(double y) {
    targetY_ = y;
    wake();
}

void ScrollEngine::setScrollY(double y) {
    scrollY_ = y;
    wake();
}

bool ScrollEngine::isStill() const {
    return scrollY_ == targetY_ && !(needsTicks_ && needsTicks_());
}

void ScrollEngine::wake() {
    if (!displayLink_ || !displayLink_->isPaused() || isStill()) return;
    displayLink_->setPaused(false);
    // The first frame is measured from now: the time spent paused is no frame interval,
    // and the motion from the wake to that frame is not lost.
    const double now = displayLink_->timestampNow();
    if (std::isfinite(now)) lastTimestamp_ = now;
}

void ScrollEngine::pauseIfStill() {
    if (displayLink_ && !displayLink_->isPaused() && isStill()) displayLink_->setPaused(true);
}

void ScrollEngine::step(double timestampSeconds) {
    const std::optional<double> previous = lastTimestamp_;
    lastTimestamp_ = timestampSeconds;
    if (!previous) return;  // the first frame only sets the clock
    const double dt = timestampSeconds - *previous;
    if (!(dt > 0)) return;
    advance(dt);
    pauseIfStill();
}

void ScrollEngine::advance(double dt) {
    if (onTick_) onTick_(dt);  // may move the target

    const double distance = targetY_ - scrollY_;
    if (std::abs(distance) > kSnapDistance) {
        // Reduce motion is read every frame so a change in the desktop applies at once.
        const double tau = accessibility_.reduceMotion() ? kReducedMotionTau : baseTau_;
        scrollY_ += distance * (1 - std::exp(-dt / tau));
    } else if (scrollY_ != targetY_) {
        scrollY_ = targetY_;
    } else {
        return;  // at rest: nobody is told
    }
    if (onChange_) onChange_(scrollY_);
}

}  // namespace vorela
