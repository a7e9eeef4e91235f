#pragma once

#include <QPointer>

#include "Platform/Loop/RunLoop.h"

class QObject;

namespace vorela {

// The application's main run loop: Qt's event loop on the GUI thread. Timers are
// QTimers parented to the context object; posted tasks are queued calls on it.
class QtRunLoop final : public RunLoop {
public:
    explicit QtRunLoop(QObject* context, const Clock& clock);

    bool isMainThread() const override;
    void post(Task task) override;
    [[nodiscard]] TimerHandle schedule(double delaySeconds, Task task) override;
    [[nodiscard]] TimerHandle scheduleRepeating(double intervalSeconds, Task task) override;
    const Clock& clock() const override { return clock_; }

private:
    TimerHandle start(double seconds, bool repeating, Task task);

    QPointer<QObject> context_;
    const Clock& clock_;
};

}  // namespace vorela
