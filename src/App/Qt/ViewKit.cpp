#include "App/Qt/ViewKit.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <utility>

#include "Render/Brand.h"

namespace vorela::ViewKit {

QColor qColor(const Color& c, double alphaFactor) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue), static_cast<float>(c.alpha * alphaFactor));
}

QColor accentColor() { return qColor(Brand::accent()); }

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
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kNames{{
        {"play.fill", "media-playback-start"},
        {"pause.fill", "media-playback-pause"},
        {"text.alignleft", "format-justify-left"},
        {"gobackward", "media-skip-backward"},
        {"gearshape", "preferences-system"},
        {"mic.fill", "audio-input-microphone"},
        {"doc.on.clipboard", "edit-paste"},
        {"hand.raised.slash", ""},  // no freedesktop icon: our glyph
    }};
    for (const auto& [symbol, icon] : kNames) {
        if (symbol == symbolName) return icon;
    }
    return {};
}

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
        QPainterPath slash;
        slash.moveTo(0.1, 0.1);
        slash.lineTo(0.18, 0.02);
        slash.lineTo(0.9, 0.9);
        slash.lineTo(0.82, 0.98);
        slash.closeSubpath();
        path = path.united(slash);
    } else if (symbolName == "text.alignleft") {
        for (int i = 0; i < 4; ++i) path.addRect(0.1, 0.15 + i * 0.2, i % 2 ? 0.55 : 0.8, 0.1);
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
