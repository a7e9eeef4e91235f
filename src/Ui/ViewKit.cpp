#include "Ui/ViewKit.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <cmath>
#include <utility>

#include "Render/Brand.h"

namespace vorela::ViewKit {

QColor qColor(const Color& c, double alphaFactor) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue), static_cast<float>(c.alpha * alphaFactor));
}

QColor accentColor() { return qColor(Brand::accent()); }

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

std::string_view themeIconName(std::string_view symbolName) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 27> kNames{{
        {"play.fill", "media-playback-start"},
        {"pause.fill", "media-playback-pause"},
        {"text.alignleft", "format-justify-left"},
        {"gobackward", "media-skip-backward"},
        {"gearshape", "preferences-system"},
        {"mic.fill", "audio-input-microphone"},
        {"doc.on.clipboard", "edit-paste"},  // our glyph where the theme has none
        {"hand.raised.slash", ""},           // no freedesktop icon: our glyph
        {"backward.end.fill", "media-skip-backward"},
        {"mic", "audio-input-microphone"},
        {"speedometer", ""},
        {"eye", ""},
        {"eye.slash", ""},
        {"macwindow.on.rectangle", "window-new"},
        {"waveform.badge.magnifyingglass", "edit-find"},
        {"plus", "list-add"},
        {"square.and.arrow.down", "document-open"},
        {"doc.on.doc", "edit-copy"},
        {"trash", "edit-delete"},
        {"bookmark.fill", ""},
        {"checkmark.circle.fill", "emblem-ok"},
        {"exclamationmark.triangle.fill", "dialog-warning"},
        {"waveform", ""},
        {"lock.laptopcomputer", ""},
        {"textformat", "preferences-desktop-font"},
        {"command", "preferences-desktop-keyboard"},
        {"ladybug", "applications-debugging"},
    }};
    for (const auto& [symbol, icon] : kNames) {
        if (symbol == symbolName) return icon;
    }
    return {};
}

namespace {

// The diagonal bar of the "slash" symbols, top left to bottom right.
QPainterPath strikeThrough() {
    QPainterPath slash;
    slash.moveTo(0.1, 0.1);
    slash.lineTo(0.18, 0.02);
    slash.lineTo(0.9, 0.9);
    slash.lineTo(0.82, 0.98);
    slash.closeSubpath();
    return slash;
}

}  // namespace

QPainterPath symbolGlyph(std::string_view symbolName) {
    QPainterPath path;
    if (symbolName == "play.fill") {
        path.moveTo(0.22, 0.1);
        path.lineTo(0.88, 0.5);
        path.lineTo(0.22, 0.9);
        path.closeSubpath();
    } else if (symbolName == "pause.fill") {
        path.addRoundedRect(0.18, 0.12, 0.22, 0.76, 0.05, 0.05);
        path.addRoundedRect(0.6, 0.12, 0.22, 0.76, 0.05, 0.05);
    } else if (symbolName == "hand.raised.slash") {
        // An open palm with four fingers, struck through.
        path.addRoundedRect(0.25, 0.45, 0.5, 0.45, 0.15, 0.15);
        for (int i = 0; i < 4; ++i)
            path.addRoundedRect(0.25 + i * 0.13, 0.12, 0.1, 0.45, 0.05, 0.05);
        path = path.united(strikeThrough());
    } else if (symbolName == "text.alignleft") {
        for (int i = 0; i < 4; ++i) path.addRect(0.1, 0.15 + i * 0.2, i % 2 ? 0.55 : 0.8, 0.1);
    } else if (symbolName == "backward.end.fill") {
        path.addRect(0.15, 0.15, 0.12, 0.7);
        path.moveTo(0.85, 0.15);
        path.lineTo(0.3, 0.5);
        path.lineTo(0.85, 0.85);
        path.closeSubpath();
    } else if (symbolName == "mic" || symbolName == "mic.fill") {
        path.addRoundedRect(0.36, 0.08, 0.28, 0.52, 0.14, 0.14);
        path.addRect(0.47, 0.66, 0.06, 0.18);
        path.addRect(0.3, 0.84, 0.4, 0.06);
    } else if (symbolName == "speedometer") {
        QPainterPath dial;
        dial.moveTo(0.05, 0.75);
        dial.arcTo(0.05, 0.2, 0.9, 1.1, 180, -180);
        dial.lineTo(0.8, 0.75);
        dial.arcTo(0.2, 0.35, 0.6, 0.8, 0, 180);
        dial.closeSubpath();
        path.addPath(dial);
        path.addEllipse(0.43, 0.68, 0.14, 0.14);
    } else if (symbolName == "eye" || symbolName == "eye.slash") {
        QPainterPath lid;
        lid.moveTo(0.05, 0.5);
        lid.quadTo(0.5, 0.05, 0.95, 0.5);
        lid.quadTo(0.5, 0.95, 0.05, 0.5);
        lid.closeSubpath();
        QPainterPath pupil;
        pupil.addEllipse(0.38, 0.38, 0.24, 0.24);
        path = lid.subtracted(pupil);
        if (symbolName == "eye.slash") {
            path = path.united(strikeThrough());
        }
    } else if (symbolName == "plus") {
        path.addRect(0.44, 0.12, 0.12, 0.76);
        path.addRect(0.12, 0.44, 0.76, 0.12);
        path.setFillRule(Qt::WindingFill);
    } else if (symbolName == "doc.on.doc" || symbolName == "doc.on.clipboard") {
        QPainterPath back, front;
        back.addRoundedRect(0.15, 0.1, 0.5, 0.62, 0.06, 0.06);
        front.addRoundedRect(0.35, 0.28, 0.5, 0.62, 0.06, 0.06);
        QPainterPath inner;
        inner.addRect(0.42, 0.35, 0.36, 0.48);
        path = back.subtracted(front).united(front.subtracted(inner));
    } else if (symbolName == "square.and.arrow.down") {
        path.addRect(0.46, 0.08, 0.08, 0.45);
        path.moveTo(0.3, 0.45);
        path.lineTo(0.7, 0.45);
        path.lineTo(0.5, 0.68);
        path.closeSubpath();
        path.addRect(0.15, 0.82, 0.7, 0.08);
        path.addRect(0.15, 0.55, 0.08, 0.3);
        path.addRect(0.77, 0.55, 0.08, 0.3);
        path.setFillRule(Qt::WindingFill);
    } else if (symbolName == "trash") {
        path.addRect(0.15, 0.18, 0.7, 0.08);
        path.addRect(0.38, 0.08, 0.24, 0.08);
        QPainterPath can, inside;
        can.addRoundedRect(0.22, 0.3, 0.56, 0.62, 0.06, 0.06);
        inside.addRect(0.3, 0.36, 0.4, 0.5);
        path = path.united(can.subtracted(inside));
    } else if (symbolName == "bookmark.fill") {
        path.moveTo(0.25, 0.08);
        path.lineTo(0.75, 0.08);
        path.lineTo(0.75, 0.92);
        path.lineTo(0.5, 0.7);
        path.lineTo(0.25, 0.92);
        path.closeSubpath();
    } else if (symbolName == "waveform" || symbolName == "waveform.badge.magnifyingglass") {
        static constexpr std::array<double, 5> kHeights{0.3, 0.65, 0.9, 0.55, 0.35};
        for (std::size_t i = 0; i < kHeights.size(); ++i)
            path.addRoundedRect(0.08 + i * 0.18, 0.5 - kHeights[i] / 2, 0.1, kHeights[i], 0.05,
                                0.05);
        if (symbolName != "waveform") {
            // A magnifying glass over the bars' lower right corner.
            QPainterPath disc;
            disc.addEllipse(QPointF(0.7, 0.7), 0.26, 0.26);
            QPainterPath ring;
            ring.addEllipse(QPointF(0.7, 0.7), 0.22, 0.22);
            ring.addEllipse(QPointF(0.7, 0.7), 0.13, 0.13);
            path = path.subtracted(disc);
            path.addPath(ring);
        }
    } else if (symbolName == "lock.laptopcomputer") {
        // A laptop whose screen carries a padlock.
        path.addRoundedRect(0.15, 0.15, 0.7, 0.5, 0.05, 0.05);
        path.addRect(0.2, 0.2, 0.6, 0.4);
        path.addRoundedRect(0.02, 0.7, 0.96, 0.1, 0.04, 0.04);
        path.addRect(0.4, 0.38, 0.2, 0.16);
        path.addEllipse(QPointF(0.5, 0.36), 0.07, 0.07);
        path.addEllipse(QPointF(0.5, 0.36), 0.035, 0.035);
    } else if (symbolName == "checkmark.circle.fill" || symbolName == "checkmark.seal.fill") {
        path.addEllipse(QPointF(0.5, 0.5), 0.46, 0.46);
        QPainterPath check;
        check.moveTo(0.26, 0.5);
        check.lineTo(0.34, 0.42);
        check.lineTo(0.45, 0.53);
        check.lineTo(0.68, 0.3);
        check.lineTo(0.76, 0.38);
        check.lineTo(0.45, 0.69);
        check.closeSubpath();
        path = path.subtracted(check);
    } else if (symbolName.starts_with("exclamationmark.triangle")) {
        path.moveTo(0.5, 0.06);
        path.lineTo(0.96, 0.9);
        path.lineTo(0.04, 0.9);
        path.closeSubpath();
        QPainterPath mark;
        mark.addRect(0.45, 0.35, 0.1, 0.3);
        mark.addRect(0.45, 0.72, 0.1, 0.1);
        if (symbolName == "exclamationmark.triangle.fill") {
            path = path.subtracted(mark);
        } else if (symbolName == "exclamationmark.triangle") {
            // The outline form: the rim, with the mark drawn inside it.
            QPainterPath inner;
            inner.moveTo(0.5, 0.24);
            inner.lineTo(0.82, 0.82);
            inner.lineTo(0.18, 0.82);
            inner.closeSubpath();
            path = path.subtracted(inner).united(mark);
        }
    }
    return path;
}

QIcon symbolIcon(std::string_view symbolName, const QColor& tint) {
    if (const auto name = themeIconName(symbolName); !name.empty()) {
        const QIcon themed = QIcon::fromTheme(QString::fromUtf8(name.data(), int(name.size())));
        if (!themed.isNull()) return themed;
    }
    const QPainterPath glyph = symbolGlyph(symbolName);
    if (glyph.isEmpty()) return {};
    QIcon icon;
    for (const int side : {16, 24, 32, 48}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(side, side);
        p.fillPath(glyph, tint);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace vorela::ViewKit
