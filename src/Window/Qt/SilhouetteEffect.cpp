#include "Window/Qt/SilhouetteEffect.h"

#include <QPainter>
#include <QPainterPath>

#include "Render/PanelSilhouette.h"
#include "Ui/ViewKit.h"

namespace vorela {

void SilhouetteEffect::setNotch(bool isNotch) {
    if (isNotch == isNotch_) return;
    isNotch_ = isNotch;
    update();
}

void SilhouetteEffect::draw(QPainter* painter) {
    QPoint offset;
    const QPixmap source = sourcePixmap(Qt::DeviceCoordinates, &offset, NoPad);
    if (source.isNull()) return;
    if (buffer_.size() != source.size()) {
        buffer_ = QImage(source.size(), QImage::Format_ARGB32_Premultiplied);
    }
    buffer_.fill(Qt::transparent);
    const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
    const qreal dpr = source.devicePixelRatio();
    {
        QPainter p(&buffer_);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.fillPath(
            ViewKit::qPath(PanelSilhouette{isNotch_}.path({0, 0, bounds.width(), bounds.height()})),
            Qt::black);
        // Keep the content only where the outline is, with its soft edge.
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.resetTransform();
        p.drawPixmap(0, 0, source);
    }
    const QTransform previous = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    painter->drawImage(offset, buffer_);
    painter->setWorldTransform(previous);
}

}  // namespace vorela
