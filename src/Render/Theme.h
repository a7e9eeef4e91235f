#pragma once

#include "Prefs/Key.h"
#include "Render/MirrorMode.h"
#include "Render/ThemeFont.h"
#include "Render/ThemeTextColor.h"

namespace vorela {

// The appearance of the prompter text. Equal when every field is equal.
struct Theme {
    ThemeFont fontFamily = ThemeFont::sans;
    double fontSize = 28;      // points
    bool isBold = false;       // semibold instead of regular
    double lineSpacing = 1.3;  // line pitch as a factor of the font size
    ThemeTextColor textColor = ThemeTextColor::cream;
    ThemeTextColor highlightColor = ThemeTextColor::brand;  // highlight and reading-line ticks
    double backgroundOpacity = 1.0;                         // of the panel's black background
    double readingLinePosition = 0.36;  // fraction of the view height from the top
    bool dimPassedText = true;
    bool highlightCurrentWord = true;
    MirrorMode mirror = MirrorMode::none;

    // Built from the appearance preferences, with the font size, line spacing and reading
    // line clamped into range. Reads only: an out-of-range stored value stays stored.
    static Theme current();

    bool operator==(const Theme&) const = default;
};

namespace Prefs::Keys {
const Key<ThemeFont>& themeFont();
const Key<double>& themeFontSize();
const Key<bool>& themeBold();
const Key<double>& themeLineSpacing();
const Key<ThemeTextColor>& themeTextColor();
const Key<ThemeTextColor>& themeHighlightColor();
const Key<double>& themeBackgroundOpacity();
const Key<double>& readingLinePosition();
const Key<bool>& dimPassedText();
const Key<bool>& highlightCurrentWord();
const Key<MirrorMode>& mirrorMode();
}  // namespace Prefs::Keys

}  // namespace vorela
