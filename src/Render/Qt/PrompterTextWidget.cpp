#include "Render/Qt/PrompterTextWidget.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <utility>

#include "Platform/Display/Linux/QtDisplayLink.h"
#include "Render/MirrorMode.h"
#include "Render/ThemeTextColor.h"

namespace vorela {

namespace {
QColor qColor(const Color& c, double alpha = 1) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue), static_cast<float>(c.alpha * alpha));
}
QRectF qRect(const Rect& r) { return {r.x, r.y, r.width, r.height}; }
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

const QImage& PrompterTextWidget::renderUnmirrored() const {
    const Size size = view_.viewSize();
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(size.width * dpr)),
                       static_cast<int>(std::ceil(size.height * dpr)));
    if (frame_.size() != pixels || frame_.devicePixelRatio() != dpr) {
        frame_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        frame_.setDevicePixelRatio(dpr);
    }
    QImage& image = frame_;
    image.fill(Qt::transparent);
    if (image.isNull()) return image;
    const Theme& theme = view_.theme();
    const double w = size.width, h = size.height, line = view_.readingLineY();

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.save();
    const Point origin = view_.contentOrigin();
    p.translate(origin.x, origin.y);
    if (const auto* layout = dynamic_cast<const QtTextLayout*>(view_.layout())) {
        const auto [first, last] = view_.visibleLines();
        p.setPen(qColor(color(theme.textColor)));
        layout->drawLines(p, first, last, QPointF(0, 0));
    }
    if (const auto highlight = view_.highlightRect()) {
        QPainterPath path;
        path.addRoundedRect(qRect(*highlight), 4, 4);
        p.fillPath(path, qColor(color(theme.highlightColor), 0.28));
    }
    p.restore();

    if (theme.dimPassedText && line > 0) {
        QLinearGradient dim(0, 0, 0, line);
        dim.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0.88f));
        dim.setColorAt(0.45, QColor::fromRgbF(0, 0, 0, 0.42f));
        dim.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0));
        p.fillRect(QRectF(0, 0, w, line), dim);
    }
    const double s = theme.fontSize;
    p.fillRect(QRectF(0, line - 0.75 * s, w, 1.5 * s), QColor::fromRgbF(1, 1, 1, 0.06f));
    const QColor tick = qColor(color(theme.highlightColor), 0.55);
    p.fillRect(QRectF(0, line - 1, 8, 2), tick);
    p.fillRect(QRectF(w - 8, line - 1, 8, 2), tick);

    if (h > 0) {
        const auto stops = view_.fadeStops();
        QLinearGradient mask(0, 0, 0, h);
        mask.setColorAt(0, Qt::transparent);
        mask.setColorAt(stops.top, Qt::black);
        mask.setColorAt(stops.bottom, Qt::black);
        mask.setColorAt(1, Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(QRectF(0, 0, w, h), mask);
    }
    return image;
}

QImage PrompterTextWidget::renderFrame() const {
    const QImage plain = renderUnmirrored();
    const auto s = scale(view_.theme().mirror);
    if (s.horizontal > 0 && s.vertical > 0) return plain;
    return plain.mirrored(s.horizontal < 0, s.vertical < 0);
}

void PrompterTextWidget::paintEvent(QPaintEvent*) {
    const QImage& frame = renderUnmirrored();
    QPainter p(this);
    const auto s = scale(view_.theme().mirror);
    const double w = width(), h = height();
    // Mirror about the centre of the view.
    p.translate(w / 2, h / 2);
    p.scale(s.horizontal, s.vertical);
    p.translate(-w / 2, -h / 2);
    p.drawImage(QPointF(0, 0), frame);
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
