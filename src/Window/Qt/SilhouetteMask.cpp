#include "Window/Qt/SilhouetteMask.h"

#include <QPaintEvent>
#include <QPainter>

#include "Render/PanelSilhouette.h"
#include "Ui/ViewKit.h"

namespace vorela {

SilhouetteMask::SilhouetteMask(QWidget* parent) : QWidget(parent) {
    setObjectName("silhouetteMask");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void SilhouetteMask::setNotch(bool isNotch) {
    if (isNotch == isNotch_) return;
    isNotch_ = isNotch;
    updateOutside();
    update();
}

void SilhouetteMask::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateOutside();
}

void SilhouetteMask::updateOutside() {
    const Rect bounds{0, 0, double(width()), double(height())};
    QPainterPath all;
    all.addRect(0, 0, width(), height());
    // Made once per size: a frame only fills it.
    outside_ = all.subtracted(ViewKit::qPath(PanelSilhouette{isNotch_}.path(bounds)));
}

void SilhouetteMask::paintEvent(QPaintEvent* event) {
    if (!outside_.intersects(QRectF(event->rect()))) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Keeps what lies beneath only inside the outline, in proportion at the soft edge.
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.fillPath(outside_, Qt::black);
}

}  // namespace vorela
