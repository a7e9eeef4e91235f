#include "Window/Qt/CachedOpacityEffect.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace vorela {

CachedOpacityEffect::CachedOpacityEffect(QWidget* widget) : QGraphicsEffect(widget) {
    widget->installEventFilter(this);
    widget->setGraphicsEffect(this);
}

void CachedOpacityEffect::setOpacity(double opacity) {
    if (opacity == opacity_) return;
    opacity_ = opacity;
    update();
}

void CachedOpacityEffect::draw(QPainter* painter) {
    if (opacity_ <= 0) return;
    painter->save();
    painter->setOpacity(painter->opacity() * opacity_);
    if (!pictureTaken_) {
        // Taking the picture stores it where Qt's drawing of the source finds it.
        QPoint offset;
        const QPixmap picture = sourcePixmap(Qt::DeviceCoordinates, &offset, NoPad);
        painter->setWorldTransform(QTransform());
        painter->drawPixmap(offset, picture);
        pictureTaken_ = true;
    } else {
        // Qt draws its picture if it still has one; if it painted the widget instead,
        // something changed, and the next frame takes a new picture.
        const int paints = sourcePaints_;
        drawSource(painter);
        if (sourcePaints_ != paints) pictureTaken_ = false;
    }
    painter->restore();
}

bool CachedOpacityEffect::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) ++sourcePaints_;
    return QGraphicsEffect::eventFilter(watched, event);
}

}  // namespace vorela
