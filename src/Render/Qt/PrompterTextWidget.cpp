#include "Render/Qt/PrompterTextWidget.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// Scales premultiplied pixels: the fade (alpha) scales every channel, the dim only the
// colour (tint <= alpha keeps them premultiplied). Both are in 256ths. Four pixels at a
// time in 16-bit lanes, which the compiler turns into the machine's vector instructions.
void scaleRow(const std::uint32_t* in, std::uint32_t* out, int width, std::uint32_t alpha,
              std::uint32_t tint) {
    using Bytes = std::uint8_t __attribute__((vector_size(16)));
    using Wide = std::uint16_t __attribute__((vector_size(32)));
    const auto a = static_cast<std::uint16_t>(alpha), t = static_cast<std::uint16_t>(tint);
    // Bytes in memory are blue, green, red, alpha.
    const Wide factors{t, t, t, a, t, t, t, a, t, t, t, a, t, t, t, a};
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        Bytes pixels;
        std::memcpy(&pixels, in + x, sizeof pixels);
        const Wide scaled = (__builtin_convertvector(pixels, Wide) * factors) >> 8;
        pixels = __builtin_convertvector(scaled, Bytes);
        std::memcpy(out + x, &pixels, sizeof pixels);
    }
    for (; x < width; ++x) {
        const std::uint32_t px = in[x];
        out[x] = ((((px >> 24) * alpha) >> 8) << 24) |
                 ((((px & 0x00ff00ffu) * tint) >> 8) & 0x00ff00ffu) |
                 ((((px & 0x0000ff00u) * tint) >> 8) & 0x0000ff00u);
    }
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
    needsDisplay_ = view_.setOnNeedsDisplay([this] { needsDisplay(); });
}

PrompterTextWidget::~PrompterTextWidget() = default;

std::unique_ptr<DisplayLink> PrompterTextWidget::makeDisplayLink(
    DisplayLink::FrameCallback onFrame) {
    return std::make_unique<QtDisplayLink>(this, clock_, std::move(onFrame));
}

PrompterTextWidget::Shown PrompterTextWidget::shown() const {
    return {view_.scrollY(), view_.viewSize(), view_.theme(), view_.layoutGeneration(),
            view_.highlightRect()};
}

void PrompterTextWidget::needsDisplay() {
    const Shown now = shown();
    // A new word over the same page changes only the highlight: the old one and the new.
    if (painted_ && painted_->scrollY == now.scrollY && painted_->size == now.size &&
        painted_->theme == now.theme && painted_->layoutGeneration == now.layoutGeneration) {
        update(highlightArea(painted_->highlight) + highlightArea(now.highlight));
    } else {
        update(repaintRegion());
    }
}

QRegion PrompterTextWidget::highlightArea(const std::optional<Rect>& highlight) const {
    if (!highlight) return {};
    const Point origin = view_.contentOrigin();
    QRectF area = qRect(*highlight).translated(origin.x, origin.y).adjusted(-2, -2, 2, 2);
    const auto s = scale(view_.theme().mirror);
    const Size size = view_.viewSize();
    if (s.horizontal < 0) area.moveLeft(size.width - area.right());
    if (s.vertical < 0) area.moveTop(size.height - area.bottom());
    return area.toAlignedRect();
}

QRegion PrompterTextWidget::repaintRegion() const {
    // The window clears what it repaints before painting, and Qt hands a clear of 96 rows
    // or more to its thread pool, which costs more than the clear. Bands of 64 rows whose
    // left edges alternate by a pixel stay apart, so each is cleared on this thread. The
    // first column left out of every other band shows no text.
    QRegion region;
    for (int top = 0, band = 0; top < height(); top += 64, ++band)
        region += QRect(band % 2, top, width() - band % 2, std::min(64, height() - top));
    return region;
}

void PrompterTextWidget::paintFrame(QPainter& p) const {
    const Size size = view_.viewSize();
    const double w = size.width, h = size.height;
    if (w <= 0 || h <= 0) return;
    const Theme& theme = view_.theme();
    const FrameShading shading = FrameShading::of(view_);
    const double line = view_.readingLineY();
    const auto s = scale(theme.mirror);
    // Mirrors about the centre of the view; what follows it is drawn unmirrored.
    const auto mirror = [&] {
        p.translate(w / 2, h / 2);
        p.scale(s.horizontal, s.vertical);
        p.translate(-w / 2, -h / 2);
    };

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    mirror();
    // The dim goes under the text, which is darkened by it instead: the same pixels as
    // black over the text, painted straight onto the panel.
    if (shading.dimEnd > 0)
        ViewKit::fillInBands(p, QRectF(0, 0, w, shading.dimEnd), dimBrush(shading));
    p.restore();

    drawLines(p, shading);

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    mirror();
    const Point origin = view_.contentOrigin();
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

void PrompterTextWidget::drawLines(QPainter& p, const FrameShading& shading) const {
    const auto* layout = dynamic_cast<const QtTextLayout*>(view_.layout());
    if (!layout) return;
    const auto [first, last] = view_.visibleLines();
    const qreal ratio = p.device() ? p.device()->devicePixelRatio() : devicePixelRatioF();
    const auto s = scale(view_.theme().mirror);
    const bool flipX = s.horizontal < 0, flipY = s.vertical < 0;
    lines_.beginFrame({view_.layoutGeneration(), qColor(color(view_.theme().textColor)).rgba(),
                       ratio, flipX, flipY},
                      first, last);
    const Size size = view_.viewSize();
    const Point origin = view_.contentOrigin();
    for (std::size_t i = first; i < last; ++i) {
        const auto& [image, topLeft] = lines_.line(*layout, i);
        if (image.isNull()) continue;
        const double iw = image.width() / ratio, ih = image.height() / ratio;
        // Placed on whole device pixels, so the blend copies rows as they are.
        double x = origin.x + topLeft.x(), y = origin.y + topLeft.y();
        if (flipX) x = size.width - x - iw;
        if (flipY) y = size.height - y - ih;
        x = std::round(x * ratio) / ratio;
        y = std::round(y * ratio) / ratio;
        const double top = flipY ? size.height - y - ih : y;
        if (shading.isPlain(top, top + ih)) {
            p.drawImage(QPointF(x, y), image);
        } else {
            p.drawImage(QPointF(x, y), shadedLine(image, y, flipY, shading));
        }
    }
}

QImage PrompterTextWidget::shadedLine(const QImage& image, double y, bool flipY,
                                      const FrameShading& shading) const {
    const int width = image.width(), height = image.height();
    const qreal ratio = image.devicePixelRatio();
    shadeBuffer_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        // The height of the row's centre in the unmirrored view, where shading is defined.
        const double at = y + (row + 0.5) / ratio;
        const double unmirrored = flipY ? shading.height - at : at;
        const double fade = shading.fade(unmirrored);
        const auto alpha = static_cast<std::uint32_t>(std::lround(256 * fade));
        const auto tint =
            static_cast<std::uint32_t>(std::lround(256 * fade * (1 - shading.dim(unmirrored))));
        const auto* in = reinterpret_cast<const std::uint32_t*>(image.constScanLine(row));
        std::uint32_t* out = shadeBuffer_.data() + static_cast<std::size_t>(row) * width;
        if (alpha == 256 && tint == 256) {
            std::copy(in, in + width, out);
        } else {
            scaleRow(in, out, width, alpha, tint);
        }
    }
    QImage shaded(reinterpret_cast<const uchar*>(shadeBuffer_.data()), width, height, width * 4,
                  QImage::Format_ARGB32_Premultiplied);
    shaded.setDevicePixelRatio(ratio);
    return shaded;
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
    painted_ = shown();
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
