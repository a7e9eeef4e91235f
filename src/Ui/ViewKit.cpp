#include "Ui/ViewKit.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

#include "Ui/IconCache.h"

namespace vorela::ViewKit {

QColor qColor(const Color& c, double alphaFactor) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue), static_cast<float>(c.alpha * alphaFactor));
}

void fillInBands(QPainter& painter, const QRectF& rect, const QBrush& brush) {
    // 64 device rows: under Qt's 96, and whole rows, so the bands meet without a seam.
    const double scale = painter.device() ? painter.device()->devicePixelRatio() : 1;
    const double band = 64 / scale;
    double top = rect.top();
    while (rect.bottom() - top >= band * 1.5) {
        const double next = std::floor((top + band) * scale) / scale;
        painter.fillRect(QRectF(rect.left(), top, rect.width(), next - top), brush);
        top = next;
    }
    painter.fillRect(QRectF(rect.left(), top, rect.width(), rect.bottom() - top), brush);
}

QPainterPath qPath(const std::vector<PathElement>& elements) {
    QPainterPath path;
    for (const PathElement& e : elements) {
        switch (e.kind) {
            case PathElement::Kind::moveTo:
                path.moveTo(e.to.x, e.to.y);
                break;
            case PathElement::Kind::lineTo:
                path.lineTo(e.to.x, e.to.y);
                break;
            case PathElement::Kind::quadTo:
                path.quadTo(e.control.x, e.control.y, e.to.x, e.to.y);
                break;
            case PathElement::Kind::close:
                path.closeSubpath();
                break;
        }
    }
    return path;
}

QIcon symbolIcon(std::string_view symbolName, const QColor& tint) {
    return IconCache::shared().icon(symbolName, tint);
}

QPixmap symbolPixmap(std::string_view symbolName, const QColor& tint, int side) {
    return IconCache::shared().pixmap(symbolName, tint, side, qApp->devicePixelRatio());
}

}  // namespace vorela::ViewKit
