#pragma once

#include <functional>

#include "Platform/Loop/TimerHandle.h"

namespace vorela {

class RunLoop;

// Turns the pointer entering and leaving the prompter text into hover events. Leaving
// reports onExit only after the pointer has stayed away for resumeDelay, so a pointer that
// slips out and back in produces two onEnter calls and no onExit. Main thread only; the
// view's pointer handlers call mouseEntered() and mouseExited().
class HoverMonitor {
public:
    using Callback = std::function<void()>;

    // loop must outlive the monitor.
    HoverMonitor(double resumeDelaySeconds, RunLoop& loop);
    ~HoverMonitor();
    HoverMonitor(const HoverMonitor&) = delete;
    HoverMonitor& operator=(const HoverMonitor&) = delete;
    HoverMonitor(HoverMonitor&&) = delete;
    HoverMonitor& operator=(HoverMonitor&&) = delete;

    void mouseEntered();
    void mouseExited();

    double resumeDelay() const { return resumeDelay_; }
    bool isHovering() const { return isHovering_; }
    // A delayed onExit is waiting.
    bool hasPendingExit() const { return resumeTask_.isActive(); }

    void setOnEnter(Callback callback) { onEnter_ = std::move(callback); }
    void setOnExit(Callback callback) { onExit_ = std::move(callback); }

private:
    double resumeDelay_ = 0.4;
    Callback onEnter_;
    Callback onExit_;
    bool isHovering_ = false;
    RunLoop& loop_;
    // Last: cancelled first when the monitor goes.
    TimerHandle resumeTask_;
};

}  // namespace vorela
