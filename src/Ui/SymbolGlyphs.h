#pragma once

#include <QPainterPath>
#include <string_view>

// The symbols of the original design ("play.fill", "mic", "mic.fill", ...) on this
// desktop: the freedesktop theme icon that stands for a symbol, and our own glyph of it.
namespace vorela::SymbolGlyphs {

// freedesktop icon name for a symbol name; empty where the theme cannot stand for it,
// among them the filled and outlined forms of one symbol, which a theme draws alike.
std::string_view themeIconName(std::string_view symbolName);
// Our own glyph of a symbol inside a unit square (0..1 both ways); empty when unknown.
QPainterPath glyph(std::string_view symbolName);

}  // namespace vorela::SymbolGlyphs
