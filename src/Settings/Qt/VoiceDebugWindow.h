#pragma once

#include <QWidget>
#include <vector>

#include "Platform/Observation/Subscription.h"
#include "Prefs/KeyWatcher.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace vorela {

class AppState;
class RunLoop;

// The window "Diagnóstico de voz" (520 x 420): live recognition rows, the words heard so
// far and a button that listens by switching the reading mode. It keeps no state; closing
// it stops nothing.
class VoiceDebugWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidthPoints = 520;
    static constexpr int kHeightPoints = 420;

    VoiceDebugWindow(AppState& appState, RunLoop& loop, QWidget* parent = nullptr);

    void refresh();

private:
    QLabel* addRow(QGridLayout* grid, const char* label, const char* objectName);

    AppState& appState_;
    QLabel* engine_ = nullptr;
    QLabel* locale_ = nullptr;
    QLabel* latency_ = nullptr;
    QLabel* microphone_ = nullptr;
    QLabel* level_ = nullptr;
    QLabel* noiseFloor_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* transcript_ = nullptr;
    QComboBox* localePicker_ = nullptr;
    QPushButton* listen_ = nullptr;
    Prefs::KeyWatcher keys_;
    std::vector<Subscription> changes_;
};

}  // namespace vorela
