#include "Platform/Loop/Linux/QtRunLoop.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace vorela {

QtRunLoop::QtRunLoop(QObject* context, const Clock& clock) : context_(context), clock_(clock) {}

bool QtRunLoop::isMainThread() const {
    return context_ && QThread::currentThread() == context_->thread();
}

void QtRunLoop::post(Task task) {
    QObject* context = context_.data();
    if (!context) return;  // the application is shutting down
    QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
}

TimerHandle QtRunLoop::schedule(double delaySeconds, Task task) {
    return start(delaySeconds, false, std::move(task));
}

TimerHandle QtRunLoop::scheduleRepeating(double intervalSeconds, Task task) {
    return start(intervalSeconds, true, std::move(task));
}

TimerHandle QtRunLoop::start(double seconds, bool repeating, Task task) {
    auto* timer = new QTimer(context_.data());
    // Coarse timers may fire 5 % late; the frame clock and short delays need precision.
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeating);
    const double ms = std::isfinite(seconds) ? std::clamp(seconds * 1000.0, 0.0, 2.0e9) : 2.0e9;
    timer->setInterval(static_cast<int>(std::lround(ms)));
    QObject::connect(timer, &QTimer::timeout, timer, [timer, repeating, task = std::move(task)] {
        if (!repeating) timer->deleteLater();
        task();
    });
    timer->start();
    QPointer<QTimer> guard(timer);
    return TimerHandle([guard] {
        if (guard) {
            guard->stop();
            guard->deleteLater();
        }
    });
}

}  // namespace vorela
