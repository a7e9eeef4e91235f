#include "Window/Qt/PanelGauges.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {
double unit(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0; }

void fillCapsule(QPainter& p, const QRectF& r, const QColor& color) {
    if (r.width() <= 0) return;
    QPainterPath path;
    const double radius = std::min(r.height(), r.width()) / 2;
    path.addRoundedRect(r, radius, radius);
    p.fillPath(path, color);
}
}  // namespace

PanelLevelMeter::PanelLevelMeter(QWidget* parent) : QWidget(parent) {
    setObjectName("levelMeter");
    setFixedSize(54, 5);
}

void PanelLevelMeter::setLevel(double level, const Color& fill) {
    level = unit(level);
    if (level == level_ && fill == fill_) return;
    level_ = level;
    fill_ = fill;
    update();
}

void PanelLevelMeter::setMarker(double fraction) {
    fraction = unit(fraction);
    if (fraction == marker_) return;
    marker_ = fraction;
    update();
}

void PanelLevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width(), h = height();
    fillCapsule(p, QRectF(0, 0, w, h), Style::onDark(0.15));
    fillCapsule(p, QRectF(0, 0, w * level_, h), ViewKit::qColor(fill_));
    p.fillRect(QRectF(w * marker_, 0, 1.5, h), Style::accent());
}

ProgressStrip::ProgressStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("progressBar");
    setFixedHeight(3);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ProgressStrip::setProgress(double fraction) {
    fraction = unit(fraction);
    if (fraction == progress_) return;
    progress_ = fraction;
    update();
}

void ProgressStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Style::onDark(0.1));
    p.fillRect(QRectF(0, 0, width() * progress_, height()), Style::accent());
}

}  // namespace vorela
