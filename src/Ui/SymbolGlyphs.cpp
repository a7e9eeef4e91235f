#include "Ui/SymbolGlyphs.h"

#include <QPainterPathStroker>
#include <array>
#include <utility>

namespace vorela::SymbolGlyphs {

std::string_view themeIconName(std::string_view symbolName) {
    // A theme icon is tinted as a silhouette, so it stands in only where its outline
    // alone keeps the meaning: not for the two forms of the microphone (one icon in every
    // theme), nor for a mark cut out of a shape.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kNames{{
        {"play.fill", "media-playback-start"},
        {"pause.fill", "media-playback-pause"},
        {"text.alignleft", "format-justify-left"},
        {"gearshape", "preferences-system"},
        {"doc.on.clipboard", "edit-paste"},
        {"backward.end.fill", "media-skip-backward"},
        {"macwindow.on.rectangle", "window-new"},
        {"waveform.badge.magnifyingglass", "edit-find"},
        {"plus", "list-add"},
        {"square.and.arrow.down", "document-open"},
        {"doc.on.doc", "edit-copy"},
        {"trash", "edit-delete"},
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

QPainterPath glyph(std::string_view symbolName) {
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
        // The capsule is solid in the filled form and a rim in the outlined one, so the
        // speaking indicator changes shape as well as colour.
        QPainterPath capsule;
        capsule.addRoundedRect(0.34, 0.06, 0.32, 0.54, 0.16, 0.16);
        if (symbolName == "mic") {
            QPainterPath inside;
            inside.addRoundedRect(0.42, 0.14, 0.16, 0.38, 0.08, 0.08);
            capsule = capsule.subtracted(inside);
        }
        QPainterPath cradle;
        const QRectF bowl(0.2, 0.12, 0.6, 0.6);
        cradle.arcMoveTo(bowl, 180);
        cradle.arcTo(bowl, 180, 180);
        QPainterPathStroker stroker;
        stroker.setWidth(0.07);
        stroker.setCapStyle(Qt::RoundCap);
        QPainterPath stand;
        stand.addRect(0.465, 0.72, 0.07, 0.14);
        stand.addRect(0.3, 0.85, 0.4, 0.07);
        // United, not added: a winding fill would close the outline's hole again.
        path = capsule.united(stroker.createStroke(cradle)).united(stand);
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

}  // namespace vorela::SymbolGlyphs
