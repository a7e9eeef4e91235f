#include "Ui/StatusDot.h"

#include <QPainter>

namespace vorela {

StatusDot::StatusDot(int diameter, QWidget* parent) : QWidget(parent) {
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TranslucentBackground);
}

void StatusDot::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void StatusDot::paintEvent(QPaintEvent*) {
    if (color_.alpha() == 0) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color_);
    p.drawEllipse(QRectF(rect()));
}

}  // namespace vorela
