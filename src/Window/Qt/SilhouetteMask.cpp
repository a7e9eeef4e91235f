#include "Window/Qt/SilhouetteMask.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

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
    const PanelSilhouette silhouette{isNotch_};
    outside_ = all.subtracted(ViewKit::qPath(silhouette.path(bounds)));
    // Filling the path every frame cost more than the fill: its anti-aliased edge makes
    // hundreds of spans, and Qt hands so many to its thread pool. Each corner is drawn
    // once per size into a small image of its coverage, which a frame only blends.
    corners_.clear();
    ratio_ = devicePixelRatioF();
    const int rows = static_cast<int>(std::ceil(silhouette.radius(bounds.size()))) + 1;
    const int half = (width() + 1) / 2;
    for (const QRect corner : {QRect(0, 0, half, rows), QRect(half, 0, width() - half, rows),
                               QRect(0, height() - rows, half, rows),
                               QRect(half, height() - rows, width() - half, rows)}) {
        QPainterPath clip;
        clip.addRect(corner);
        const QPainterPath piece = outside_.intersected(clip);
        const QRect box = piece.boundingRect().toAlignedRect() & corner;
        if (piece.isEmpty() || box.isEmpty()) continue;
        QImage coverage(box.size() * ratio_, QImage::Format_ARGB32_Premultiplied);
        coverage.setDevicePixelRatio(ratio_);
        coverage.fill(Qt::transparent);
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-box.topLeft());
        p.fillPath(piece, Qt::black);
        corners_.push_back({box, std::move(coverage)});
    }
}

void SilhouetteMask::paintEvent(QPaintEvent* event) {
    if (devicePixelRatioF() != ratio_) updateOutside();
    const QRect area = event->rect();
    QPainter p(this);
    // Keeps what lies beneath only inside the outline, in proportion at the soft edge.
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    for (const Corner& corner : corners_) {
        if (corner.box.intersects(area)) p.drawImage(corner.box.topLeft(), corner.coverage);
    }
}

}  // namespace vorela
