#pragma once

#include <QWidget>
#include <vector>

#include "Platform/Observation/Subscription.h"
#include "Prefs/KeyWatcher.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vorela {

class AppState;
class LevelMeter;
class RunLoop;
class SliderRow;

// The "Voz" tab: recognition language, engine and problem, the live level against the
// speech threshold, the sensitivity, the noise floor and its recalibration, and the
// reading pace measured during onboarding. Everything is read from the state and
// changed through its operations.
class VoiceSettings final : public QWidget {
    Q_OBJECT

public:
    VoiceSettings(AppState& appState, RunLoop& loop, QWidget* parent = nullptr);

    void refresh();

private:
    void refreshMeter();

    AppState& appState_;
    QComboBox* localePicker_ = nullptr;
    QLabel* engine_ = nullptr;
    QLabel* problem_ = nullptr;
    LevelMeter* meter_ = nullptr;
    SliderRow* sensitivity_ = nullptr;
    QLabel* noiseFloor_ = nullptr;
    QPushButton* recalibrate_ = nullptr;
    QLabel* pace_ = nullptr;
    Prefs::KeyWatcher keys_;
    std::vector<Subscription> changes_;
};

}  // namespace vorela
