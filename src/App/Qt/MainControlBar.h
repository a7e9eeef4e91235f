#pragma once

#include <QWidget>
#include <string_view>
#include <vector>

#include "Platform/Observation/Subscription.h"

class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

namespace vorela {

class AppState;
class ElidedLabel;
class LevelMeter;
class PanelControlling;
class StatusDot;

// The main window's bottom row: play/pause and restart, the mode picker, the reading
// rate, and the status (microphone level and voice status in the voice modes, the word
// position always). Follows the central state; the level's 20 Hz updates redraw only
// the meter.
class MainControlBar final : public QWidget {
    Q_OBJECT

public:
    MainControlBar(AppState& appState, PanelControlling& panel, QWidget* parent = nullptr);
    ~MainControlBar() override;
    MainControlBar(const MainControlBar&) = delete;
    MainControlBar& operator=(const MainControlBar&) = delete;
    MainControlBar(MainControlBar&&) = delete;
    MainControlBar& operator=(MainControlBar&&) = delete;

    void refresh();
    void refreshMeter();
    void playPause();

    // Slider positions per word per minute: the rate is continuous, a QSlider counts.
    static constexpr int kSliderStepsPerWpm = 10;

private:
    QWidget* makeTransport();
    QWidget* makeSpeedControl();
    QWidget* makeStatus();

    AppState& appState_;
    PanelControlling& panel_;
    QToolButton* playPause_ = nullptr;
    QComboBox* modePicker_ = nullptr;
    QSlider* speed_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    QWidget* micRow_ = nullptr;
    QLabel* micIcon_ = nullptr;
    LevelMeter* meter_ = nullptr;
    QWidget* voiceRow_ = nullptr;
    StatusDot* dot_ = nullptr;
    ElidedLabel* voiceStatus_ = nullptr;
    QLabel* wordPosition_ = nullptr;
    std::string_view shownPlaySymbol_;
    // Last: their callbacks reach the widgets above.
    std::vector<Subscription> observations_;
};

}  // namespace vorela
