#include "Render/HoverMonitor.h"

#include "Platform/Loop/RunLoop.h"

namespace vorela {

HoverMonitor::HoverMonitor(double resumeDelaySeconds, RunLoop& loop)
    : resumeDelay_(resumeDelaySeconds), loop_(loop) {}

HoverMonitor::~HoverMonitor() = default;

void HoverMonitor::mouseEntered() {
    resumeTask_.cancel();
    isHovering_ = true;
    if (onEnter_) onEnter_();
}

void HoverMonitor::mouseExited() {
    isHovering_ = false;
    resumeTask_.cancel();
    resumeTask_ = loop_.schedule(resumeDelay_, [this] {
        // Clear the handle before calling out: onExit may re-enter the monitor.
        TimerHandle finished = std::move(resumeTask_);
        if (onExit_) onExit_();
    });
}

}  // namespace vorela
