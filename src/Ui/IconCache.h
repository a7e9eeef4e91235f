#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <cstddef>
#include <map>
#include <string_view>
#include <tuple>

namespace vorela {

// Symbols rendered in a tint, each (symbol, tint, size) once: a view that shows the same
// symbol again, or sets it on every refresh, gets the same pixmap (same cacheKey) back.
// A symbol the theme can stand for is the theme's icon filled with the tint, else our
// own glyph (SymbolGlyphs). The theme's name is part of the key, so a theme set later
// is followed.
//
// Main thread only, as every pixmap.
class IconCache final {
public:
    // The process's cache, shared by every view: icons are pure functions of their key.
    static IconCache& shared();

    IconCache() = default;
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;
    IconCache(IconCache&&) = delete;
    IconCache& operator=(IconCache&&) = delete;
    ~IconCache() = default;

    // side x side points at a device pixel ratio; null for an unknown symbol.
    QPixmap pixmap(std::string_view symbolName, const QColor& tint, int side,
                   double devicePixelRatio = 1);
    // The sizes buttons and menus ask for; null for an unknown symbol.
    QIcon icon(std::string_view symbolName, const QColor& tint);

    // How many pixmaps were drawn since the start: what a test counts to see that a
    // refresh with nothing new draws nothing.
    std::size_t renderCount() const { return renders_; }

private:
    QPixmap render(std::string_view symbolName, const QColor& tint, int pixels) const;

    // theme, symbol, tint, side in device pixels (0 for an icon of all sizes)
    using Key = std::tuple<QString, QString, QRgb, int>;
    std::map<Key, QPixmap> pixmaps_;
    std::map<Key, QIcon> icons_;
    std::size_t renders_ = 0;
};

}  // namespace vorela
