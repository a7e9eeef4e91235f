#pragma once

#include <QPointer>
#include <memory>

#include "Platform/Display/DisplayLink.h"

class QTimer;
class QWidget;

namespace vorela {

class Clock;

// A frame clock on the GUI thread: a precise QTimer paced at the refresh rate of the
// screen the view is on, re-read every frame so that moving the view to another screen
// changes the pace. Time stamps are the clock's uptime. Qt has no vertical-sync callback
// for widgets, so frames are paced, not synchronised. Paused, the timer is stopped: the
// event loop is not woken for it.
class QtDisplayLink final : public DisplayLink {
public:
    // clock must outlive the link; view may go away first (the rate then stays at 60 Hz).
    QtDisplayLink(QWidget* view, const Clock& clock, FrameCallback onFrame);
    ~QtDisplayLink() override;

    void setPaused(bool paused) override;
    bool isPaused() const override;
    double timestampNow() const override;

    // Interval in whole milliseconds for a refresh rate; unusable rates count as 60 Hz.
    static int intervalMs(double refreshRateHz);

private:
    void frame();
    double refreshRate() const;

    QPointer<QWidget> view_;
    const Clock& clock_;
    FrameCallback onFrame_;
    std::unique_ptr<QTimer> timer_;
};

// Makes links that follow one widget's screen: what a view hands the scroll engine.
class QtDisplayLinkSource final : public DisplayLinkSource {
public:
    QtDisplayLinkSource(QWidget* view, const Clock& clock);
    std::unique_ptr<DisplayLink> makeDisplayLink(DisplayLink::FrameCallback onFrame) override;

private:
    QPointer<QWidget> view_;
    const Clock& clock_;
};

}  // namespace vorela
