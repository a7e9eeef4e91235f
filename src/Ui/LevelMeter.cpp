#include "Ui/LevelMeter.h"

#include <QPainter>
#include <QPainterPath>

#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {

// The detector's own "speech" green, as the desktop's success colour would show it.
constexpr double kMarkerWidth = 1.5;  // points

QPainterPath capsule(double width, double height) {
    QPainterPath path;
    if (width <= 0) return path;
    const double radius = std::min(width, height) / 2;
    path.addRoundedRect(QRectF(0, 0, width, height), radius, radius);
    return path;
}

}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setObjectName("levelMeter");
    setAccessibleName(QStringLiteral("Nivel del micrófono"));
    setAccessibleDescription(QStringLiteral("en silencio"));
}

void LevelMeter::setInputs(double level, double threshold, bool isSpeaking) {
    if (level == level_ && threshold == threshold_ && isSpeaking == isSpeaking_) return;
    level_ = level;
    threshold_ = threshold;
    isSpeaking_ = isSpeaking;
    setAccessibleDescription(isSpeaking ? QStringLiteral("hablando")
                                        : QStringLiteral("en silencio"));
    update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = width(), h = height();
    QColor faint = palette().color(QPalette::WindowText);
    faint.setAlphaF(0.12);
    painter.fillPath(capsule(w, h), faint);
    QColor secondary = palette().color(QPalette::WindowText);
    secondary.setAlphaF(0.5);
    // Levels are drawn as given: the producer keeps them within 0-1.
    painter.fillPath(capsule(fillWidth(), h), isSpeaking_ ? Style::green() : secondary);
    // Not clipped to the track: at threshold 1 the marker stands beyond its end.
    painter.fillRect(QRectF(markerX(), 0, kMarkerWidth, h), Style::accent());
}

}  // namespace vorela
