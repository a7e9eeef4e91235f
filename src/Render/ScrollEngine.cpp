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
}

void ScrollEngine::step(double timestampSeconds) {
    const std::optional<double> previous = lastTimestamp_;
    lastTimestamp_ = timestampSeconds;
    if (!previous) return;  // the first frame only sets the clock
    const double dt = timestampSeconds - *previous;
    if (!(dt > 0)) return;

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
