#include "Render/Qt/PrompterTextWidget.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <utility>

#include "Platform/Display/Linux/QtDisplayLink.h"
#include "Render/FrameShading.h"
#include "Render/MirrorMode.h"
#include "Render/ThemeTextColor.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {
QColor qColor(const Color& c, double alpha = 1) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue), static_cast<float>(c.alpha * alpha));
}
QRectF qRect(const Rect& r) { return {r.x, r.y, r.width, r.height}; }

// A colour as it shows at each height of the view: faded at the edges and, where it lies
// under the dim, darkened by it. Vertical, so the raster engine fills each row with one
// colour. Plain colours stay solid brushes.
QBrush shaded(const QColor& color, const FrameShading& shading, double top, double bottom,
              bool dimmed) {
    if (shading.isPlain(top, bottom) || shading.height <= 0) return color;
    QLinearGradient gradient(0, 0, 0, shading.height);
    for (const double y : shading.stops()) {
        const double dark = dimmed ? 1 - shading.dim(y) : 1;
        gradient.setColorAt(
            y / shading.height,
            QColor::fromRgbF(color.redF() * dark, color.greenF() * dark, color.blueF() * dark,
                             color.alphaF() * shading.fade(y)));
    }
    return gradient;
}

// The dim's black as the edge fade leaves it.
QBrush dimBrush(const FrameShading& shading) {
    QLinearGradient gradient(0, 0, 0, shading.dimEnd);
    for (const double y : shading.stops()) {
        if (y > shading.dimEnd) break;
        gradient.setColorAt(y / shading.dimEnd,
                            QColor::fromRgbF(0, 0, 0, shading.dim(y) * shading.fade(y)));
    }
    return gradient;
}
}  // namespace

PrompterTextWidget::PrompterTextWidget(const Clock& clock, const Theme& theme, QWidget* parent)
    : QWidget(parent), clock_(clock), view_(engine_, theme) {
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(false);
    needsDisplay_ = view_.setOnNeedsDisplay([this] { update(); });
}

PrompterTextWidget::~PrompterTextWidget() = default;

std::unique_ptr<DisplayLink> PrompterTextWidget::makeDisplayLink(
    DisplayLink::FrameCallback onFrame) {
    return std::make_unique<QtDisplayLink>(this, clock_, std::move(onFrame));
}

void PrompterTextWidget::paintFrame(QPainter& p) const {
    const Size size = view_.viewSize();
    const double w = size.width, h = size.height;
    if (w <= 0 || h <= 0) return;
    const Theme& theme = view_.theme();
    const FrameShading shading = FrameShading::of(view_);
    const double line = view_.readingLineY();

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Mirror about the centre of the view; everything below is drawn unmirrored.
    const auto s = scale(theme.mirror);
    p.translate(w / 2, h / 2);
    p.scale(s.horizontal, s.vertical);
    p.translate(-w / 2, -h / 2);

    // The dim goes under the text, which is darkened by it instead: the same pixels as
    // black over the text, painted straight onto the panel.
    if (shading.dimEnd > 0)
        ViewKit::fillInBands(p, QRectF(0, 0, w, shading.dimEnd), dimBrush(shading));

    const Point origin = view_.contentOrigin();
    if (const auto* layout = dynamic_cast<const QtTextLayout*>(view_.layout())) {
        const auto [first, last] = view_.visibleLines();
        const auto& lines = layout->lines();
        const QColor text = qColor(color(theme.textColor));
        const QPointF at(origin.x, origin.y);
        // Lines where nothing fades or dims take the plain pen, the rest a shaded one.
        // Lines run top to bottom, so the plain ones are one run in the middle.
        std::size_t plainFirst = first;
        while (plainFirst < last && !shading.isPlain(lines[plainFirst].top + origin.y,
                                                     lines[plainFirst].bottom + origin.y)) {
            ++plainFirst;
        }
        std::size_t plainLast = plainFirst;
        while (plainLast < last && shading.isPlain(lines[plainLast].top + origin.y,
                                                   lines[plainLast].bottom + origin.y)) {
            ++plainLast;
        }
        if (plainFirst > first || plainLast < last) {
            p.setPen(QPen(shaded(text, shading, 0, h, true), 0));
            layout->drawLines(p, first, plainFirst, at);
            layout->drawLines(p, plainLast, last, at);
        }
        p.setPen(text);
        layout->drawLines(p, plainFirst, plainLast, at);
    }
    if (const auto highlight = view_.highlightRect()) {
        QRectF rect = qRect(*highlight).translated(origin.x, origin.y);
        QPainterPath path;
        path.addRoundedRect(rect, 4, 4);
        p.fillPath(path, shaded(qColor(color(theme.highlightColor), 0.28), shading, rect.top(),
                                rect.bottom(), true));
    }

    const double band = 0.75 * theme.fontSize;
    p.fillRect(QRectF(0, line - band, w, 2 * band),
               shaded(QColor::fromRgbF(1, 1, 1, 0.06f), shading, line - band, line + band, false));
    const QBrush tick =
        shaded(qColor(color(theme.highlightColor), 0.55), shading, line - 1, line + 1, false);
    p.fillRect(QRectF(0, line - 1, 8, 2), tick);
    p.fillRect(QRectF(w - 8, line - 1, 8, 2), tick);
    p.restore();
}

QImage PrompterTextWidget::renderFrame() const {
    const Size size = view_.viewSize();
    const qreal dpr = devicePixelRatioF();
    QImage image(QSize(static_cast<int>(std::ceil(size.width * dpr)),
                       static_cast<int>(std::ceil(size.height * dpr))),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paintFrame(p);
    return image;
}

void PrompterTextWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintFrame(p);
}

void PrompterTextWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_.setViewSize({static_cast<double>(width()), static_cast<double>(height())});
}

void PrompterTextWidget::wheelEvent(QWheelEvent* event) {
    const bool precise = !event->pixelDelta().isNull();
    // A notch of a plain wheel is 120 eighths of a degree: one line.
    const double delta = precise ? event->pixelDelta().y() : event->angleDelta().y() / 120.0;
    view_.scrollWheel(delta, precise);
    event->accept();
}

void PrompterTextWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressedAt_ = event->position();
    event->accept();
}

void PrompterTextWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) return;
    const QPointF at = *std::exchange(pressedAt_, std::nullopt);
    if ((event->position() - at).manhattanLength() >= QApplication::startDragDistance()) return;
    view_.mouseDown({at.x(), at.y()});
}

void PrompterTextWidget::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    view_.mouseEntered();
}

void PrompterTextWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    view_.mouseExited();
}

}  // namespace vorela
