#pragma once

#include <QWidget>

namespace vorela {

// The microphone level bar of the main window, the onboarding and the voice tab: a track,
// a fill as wide as the level (green while speaking) and the speech threshold marker in
// the accent colour, all on the detector's 0-1 level scale. It keeps no state of its own:
// its owner feeds it AppState's level and speaking flag and the profile's threshold
// (VoiceProfile::speechThresholdLevel) and it fills whatever size it is given.
class LevelMeter final : public QWidget {
    Q_OBJECT

public:
    explicit LevelMeter(QWidget* parent = nullptr);
    void setInputs(double level, double threshold, bool isSpeaking);

    double level() const { return level_; }
    double threshold() const { return threshold_; }
    bool isSpeaking() const { return isSpeaking_; }

    // The marker's left edge and the fill's width, in pixels of the current width.
    double markerX() const { return threshold_ * width(); }
    double fillWidth() const { return level_ * width(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double level_ = 0;
    double threshold_ = 0;
    bool isSpeaking_ = false;
};

}  // namespace vorela
