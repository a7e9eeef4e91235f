#pragma once

#include <QWidget>

#include "Platform/Foundation/Color.h"

namespace vorela {

// The panel's level meter: a capsule track, a fill as wide as the level and the speech
// threshold marker in the accent colour. Values are fractions of the width, 0-1.
class PanelLevelMeter final : public QWidget {
    Q_OBJECT

public:
    explicit PanelLevelMeter(QWidget* parent = nullptr);
    void setLevel(double level, const Color& fill);
    void setMarker(double fraction);
    double level() const { return level_; }
    double marker() const { return marker_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double level_ = 0;
    double marker_ = 0;
    Color fill_;
};

// The 3 pt reading-progress strip along the panel's bottom edge.
class ProgressStrip final : public QWidget {
    Q_OBJECT

public:
    explicit ProgressStrip(QWidget* parent = nullptr);
    void setProgress(double fraction);
    double progress() const { return progress_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double progress_ = 0;
};

}  // namespace vorela
