#include "Ui/IconCache.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "Ui/SymbolGlyphs.h"

namespace vorela {
namespace {

constexpr int kIconSides[] = {16, 24, 32, 48};

QString qString(std::string_view text) { return QString::fromUtf8(text.data(), int(text.size())); }

}  // namespace

IconCache& IconCache::shared() {
    static IconCache cache;
    return cache;
}

QPixmap IconCache::pixmap(std::string_view symbolName, const QColor& tint, int side,
                          double devicePixelRatio) {
    const int pixels = std::max(1, int(std::ceil(side * devicePixelRatio)));
    const Key key{QIcon::themeName(), qString(symbolName), tint.rgba(), pixels};
    if (const auto found = pixmaps_.find(key); found != pixmaps_.end()) return found->second;
    QPixmap drawn = render(symbolName, tint, pixels);
    if (!drawn.isNull()) {
        ++renders_;
        drawn.setDevicePixelRatio(double(pixels) / side);
    }
    pixmaps_.emplace(key, drawn);
    return drawn;
}

QIcon IconCache::icon(std::string_view symbolName, const QColor& tint) {
    const Key key{QIcon::themeName(), qString(symbolName), tint.rgba(), 0};
    if (const auto found = icons_.find(key); found != icons_.end()) return found->second;
    QIcon made;
    for (const int side : kIconSides) {
        const QPixmap sized = pixmap(symbolName, tint, side);
        if (sized.isNull()) break;
        made.addPixmap(sized);
    }
    icons_.emplace(key, made);
    return made;
}

QPixmap IconCache::render(std::string_view symbolName, const QColor& tint, int pixels) const {
    const auto themeName = SymbolGlyphs::themeIconName(symbolName);
    const QIcon themed = themeName.empty() ? QIcon() : QIcon::fromTheme(qString(themeName));
    const QPainterPath glyph = themed.isNull() ? SymbolGlyphs::glyph(symbolName) : QPainterPath();
    if (themed.isNull() && glyph.isEmpty()) return {};
    QPixmap canvas(pixels, pixels);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!themed.isNull()) {
        // The theme's drawing as a mask: its colours give way to the tint the view asks
        // for, as a symbol's do.
        themed.paint(&p, canvas.rect());
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(canvas.rect(), tint);
    } else {
        p.scale(pixels, pixels);
        p.fillPath(glyph, tint);
    }
    p.end();
    return canvas;
}

}  // namespace vorela
