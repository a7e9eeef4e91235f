#pragma once

#include <QWidget>
#include <vector>

#include "Platform/Observation/Subscription.h"

class QLabel;
class QPushButton;

namespace vorela {

class AppState;
class LevelMeter;
class OnboardingFlow;

// Step 1: "Permitir y calibrar" with its result, the live level meter, the permission
// problem row (with what happened when its settings link could not open) and, once calibrated, the
// phrase to read and "Leer la frase" with its result. It shows the flow's state and acts only
// through the flow.
class VoiceStep final : public QWidget {
    Q_OBJECT

public:
    VoiceStep(OnboardingFlow& flow, const AppState& appState, QWidget* parent = nullptr);
    ~VoiceStep() override;

private:
    void refresh();
    void refreshMeter();

    OnboardingFlow& flow_;
    const AppState& appState_;
    QPushButton* calibrateButton_ = nullptr;
    QWidget* calibrationResult_ = nullptr;
    LevelMeter* meter_ = nullptr;
    QWidget* problem_ = nullptr;
    QLabel* settingsProblem_ = nullptr;  // no settings tool to open
    QWidget* phraseSection_ = nullptr;
    QPushButton* measureButton_ = nullptr;
    QWidget* qualityResult_ = nullptr;
    // Last: no notification reaches a half-destroyed view.
    std::vector<Subscription> subscriptions_;
};

}  // namespace vorela
