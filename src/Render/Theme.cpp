#include "Render/Theme.h"

#include "Prefs/Prefs.h"

namespace vorela {

namespace Prefs::Keys {

const Key<ThemeFont>& themeFont() {
    static const Key<ThemeFont> key("themeFont", ThemeFont::sans);
    return key;
}
const Key<double>& themeFontSize() {
    static const Key<double> key("themeFontSize", 28.0);
    return key;
}
const Key<bool>& themeBold() {
    static const Key<bool> key("themeBold", false);
    return key;
}
const Key<double>& themeLineSpacing() {
    static const Key<double> key("themeLineSpacing", 1.3);
    return key;
}
const Key<ThemeTextColor>& themeTextColor() {
    static const Key<ThemeTextColor> key("themeTextColor", ThemeTextColor::cream);
    return key;
}
const Key<ThemeTextColor>& themeHighlightColor() {
    static const Key<ThemeTextColor> key("themeHighlightColor", ThemeTextColor::brand);
    return key;
}
const Key<double>& themeBackgroundOpacity() {
    static const Key<double> key("themeBackgroundOpacity", 1.0);
    return key;
}
const Key<double>& readingLinePosition() {
    static const Key<double> key("readingLinePosition", 0.36);
    return key;
}
const Key<bool>& dimPassedText() {
    static const Key<bool> key("dimPassedText", true);
    return key;
}
const Key<bool>& highlightCurrentWord() {
    static const Key<bool> key("highlightCurrentWord", true);
    return key;
}
const Key<MirrorMode>& mirrorMode() {
    static const Key<MirrorMode> key("mirrorMode", MirrorMode::none);
    return key;
}

}  // namespace Prefs::Keys

namespace {

// Raised to the lower bound, then cut to the upper one. A NaN ends at the lower bound
// instead of reaching the layout.
double clamped(double value, double low, double high) {
    const double raised = value >= low ? value : low;
    return raised <= high ? raised : high;
}

}  // namespace

Theme Theme::current() {
    namespace Keys = Prefs::Keys;
    Theme theme;
    theme.fontFamily = Prefs::get(Keys::themeFont());
    theme.fontSize = clamped(Prefs::get(Keys::themeFontSize()), 14, 48);
    theme.isBold = Prefs::get(Keys::themeBold());
    theme.lineSpacing = clamped(Prefs::get(Keys::themeLineSpacing()), 1.0, 2.0);
    theme.textColor = Prefs::get(Keys::themeTextColor());
    theme.highlightColor = Prefs::get(Keys::themeHighlightColor());
    theme.backgroundOpacity = Prefs::get(Keys::themeBackgroundOpacity());
    theme.readingLinePosition = clamped(Prefs::get(Keys::readingLinePosition()), 0.2, 0.5);
    theme.dimPassedText = Prefs::get(Keys::dimPassedText());
    theme.highlightCurrentWord = Prefs::get(Keys::highlightCurrentWord());
    theme.mirror = Prefs::get(Keys::mirrorMode());
    return theme;
}

}  // namespace vorela
