#pragma once

#include <QObject>

#include "Platform/Loop/TimerHandle.h"

class QApplication;

namespace vorela {

class RunLoop;

// Stops text carets blinking once keyboard and mouse have been left alone for a while, as
// desktops do, and lets them blink again at the next input. A blinking caret repaints its
// field twice a second: in a program that otherwise sleeps (a paused script, a focused
// editor) it was most of what the program cost. Main thread only; the loop must outlive it.
class CaretBlinkTimeout final : public QObject {
    Q_OBJECT

public:
    static constexpr double kIdleSeconds = 10;

    CaretBlinkTimeout(QApplication& app, RunLoop& loop);
    // The desktop's blinking comes back.
    ~CaretBlinkTimeout() override;

    bool isBlinking() const { return blinking_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restartWait();
    void checkIdle();

    QApplication& app_;
    RunLoop& loop_;
    int flashTime_;  // the desktop's, in milliseconds
    bool blinking_ = true;
    double lastInput_ = 0;  // on the loop's clock
    TimerHandle wait_;
};

}  // namespace vorela
