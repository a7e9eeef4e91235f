#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "Platform/Foundation/Color.h"

class QLabel;
class QToolButton;

namespace vorela {

class PanelLevelMeter;
class StatusDot;

// The row the panel shows while the pointer rests on it: play/pause, the reading rate,
// the level meter with the voice status (voice modes only), the click-through badge and
// the remaining time, over a gradient that darkens toward the bottom edge.
class ControlBar final : public QWidget {
    Q_OBJECT

public:
    // Everything the bar shows, as the content computed it from the central state.
    struct Model {
        bool isPlaying = false;
        long wordsPerMinute = 0;
        bool usesMicrophone = false;
        double micLevel = 0;
        Color meterFill;
        double meterMarker = 0;
        Color dotColor;
        std::string statusText;
        bool isPassThroughActive = false;
        std::string remainingTime;
    };

    explicit ControlBar(std::function<void()> onPlayPause, QWidget* parent = nullptr);

    void refresh(const Model& model);
    PanelLevelMeter& meter() { return *meter_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* playPause_ = nullptr;
    QLabel* wpm_ = nullptr;
    PanelLevelMeter* meter_ = nullptr;
    QWidget* voiceGroup_ = nullptr;
    StatusDot* dot_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* badge_ = nullptr;
    QLabel* time_ = nullptr;
    bool showsPause_ = false;
};

}  // namespace vorela
