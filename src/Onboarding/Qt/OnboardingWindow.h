#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "Onboarding/OnboardingFlow.h"
#include "Platform/Loop/TimerHandle.h"

class QPushButton;
class QStackedWidget;

namespace vorela {

class AccessibilitySettings;
class AppState;
class IntroStep;
class PanelControlling;
class RunLoop;
class StepDots;

// The first-run window "Bienvenido a Vorela", 720 x 560: the current step above a footer
// of step dots, "Atrás" and the primary button. Return presses the primary button unless
// the script editor has the focus; Space presses the focused button.
//
// Main thread only. Everything passed by reference must outlive the window; onFinish runs
// once, when the user finishes the last step (the shell closes this window there).
class OnboardingWindow final : public QWidget {
    Q_OBJECT

public:
    OnboardingWindow(AppState& appState, PanelControlling& panel, OnboardingServices services,
                     RunLoop& loop, const AccessibilitySettings& accessibility,
                     std::function<void()> onFinish, QWidget* parent = nullptr);
    ~OnboardingWindow() override;

    OnboardingFlow& flow() { return *flow_; }
    IntroStep* introStep() const { return intro_; }
    StepDots* stepDots() const { return dots_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();

    RunLoop& loop_;
    std::unique_ptr<OnboardingFlow> flow_;
    QStackedWidget* steps_ = nullptr;
    IntroStep* intro_ = nullptr;
    StepDots* dots_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* primaryButton_ = nullptr;
    // Last: nothing fires into a half-destroyed window.
    TimerHandle appearTimer_;
    Subscription stepChanges_;
};

}  // namespace vorela
