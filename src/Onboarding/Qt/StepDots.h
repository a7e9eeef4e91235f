#pragma once

#include <QWidget>
#include <vector>

#include "Platform/Loop/TimerHandle.h"
#include "Render/Tween.h"

namespace vorela {

class RunLoop;

// One capsule per step: the current one wide and in the accent colour, the others small
// and dim. A change of step glides the widths and colours (0.2 s ease-out) on frames of
// the run loop; with reduce motion it jumps.
class StepDots final : public QWidget {
    Q_OBJECT

public:
    StepDots(RunLoop& loop, int stepCount, bool reduceMotion, QWidget* parent = nullptr);
    void setStep(int step, const QString& accessibleLabel);
    // The width a dot is drawn at now, in pixels.
    double dotWidth(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RunLoop& loop_;
    bool reduceMotion_ = false;
    std::vector<Tween> emphasis_;  // 0 small and dim, 1 wide and accent
    TimerHandle frames_;
};

}  // namespace vorela
