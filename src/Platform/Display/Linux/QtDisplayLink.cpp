#include "Platform/Display/Linux/QtDisplayLink.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cmath>

#include "Platform/Time/Clock.h"

namespace vorela {

namespace {
// What a display without a usable rate is taken to run at.
constexpr double kFallbackRateHz = 60;
}  // namespace

QtDisplayLink::QtDisplayLink(QWidget* view, const Clock& clock, FrameCallback onFrame)
    : view_(view), clock_(clock), onFrame_(std::move(onFrame)), timer_(std::make_unique<QTimer>()) {
    // A coarse timer may fire up to 5 % late, which shows as judder at 60 Hz.
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(intervalMs(refreshRate()));
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { frame(); });
    timer_->start();
}

QtDisplayLink::~QtDisplayLink() = default;

void QtDisplayLink::setPaused(bool paused) {
    if (paused == isPaused()) return;
    if (paused) {
        timer_->stop();
    } else {
        timer_->setInterval(intervalMs(refreshRate()));
        timer_->start();
    }
}

bool QtDisplayLink::isPaused() const { return !timer_->isActive(); }

double QtDisplayLink::timestampNow() const { return clock_.uptime(); }

int QtDisplayLink::intervalMs(double refreshRateHz) {
    const bool usable = std::isfinite(refreshRateHz) && refreshRateHz >= 1 && refreshRateHz <= 1000;
    const double rate = usable ? refreshRateHz : kFallbackRateHz;
    return static_cast<int>(std::lround(1000.0 / rate));
}

double QtDisplayLink::refreshRate() const {
    QScreen* screen = view_ ? view_->screen() : nullptr;
    return screen ? screen->refreshRate() : kFallbackRateHz;
}

void QtDisplayLink::frame() {
    const int interval = intervalMs(refreshRate());
    if (interval != timer_->interval()) timer_->setInterval(interval);
    if (onFrame_) onFrame_(clock_.uptime());
}

QtDisplayLinkSource::QtDisplayLinkSource(QWidget* view, const Clock& clock)
    : view_(view), clock_(clock) {}

std::unique_ptr<DisplayLink> QtDisplayLinkSource::makeDisplayLink(
    DisplayLink::FrameCallback onFrame) {
    return std::make_unique<QtDisplayLink>(view_.data(), clock_, std::move(onFrame));
}

}  // namespace vorela
