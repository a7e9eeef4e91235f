#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QPalette;

// The look every view shares: the colours, the text roles and the spacings, each named
// once here instead of as numbers in the views.
//
// - Colours: the brand accent, the desktop's system colours of the original design, and
//   translucent white and black for the dark surfaces (the panel, the welcome window).
//   css() writes one into a style sheet the same way in every locale.
// - Text roles: the original desktop's text styles in points. The views on the desktop
//   take them in points (font()); the welcome window, always dark and drawn as the design
//   gives it, takes the same numbers in pixels (pixelFont()).
// - Spacings: one scale of margins and gaps, in points.
namespace vorela::Style {

QColor accent();
QColor green();      // speaking, following, a check passed
QColor red();        // lost, failed
QColor orange();     // a warning: visible, taken
QColor errorText();  // a failure's words on a light window
// The failure's colour at an opacity, behind its words.
QColor errorFill(double opacity);
QColor darkWindow();  // the welcome window's background
// White at an opacity, on the dark surfaces.
QColor onDark(double opacity);
// Black at an opacity: shades and scrims.
QColor shade(double opacity);
// Middle grey at an opacity: fills that read on light and dark desktops alike.
QColor neutral(double opacity);
// Secondary words on the dark surfaces.
QColor secondaryOnDark();
// Secondary words on a desktop window: its text colour, dimmed.
QColor secondaryText(const QPalette& palette);
// "rgba(r, g, b, a)" with a "." decimal point whatever the locale.
QString css(const QColor& color);

enum class TextRole {
    largeTitle,   // 27: the welcome's claim
    title,        // 24: a step's title
    title2,       // 18: the script's title in the editor
    title3,       // 16: an empty state's title
    lead,         // 15: the phrase to read, the large button
    bodyLarge,    // 14: the editor's text, a subtitle
    body,         // 13
    callout,      // 12
    subheadline,  // 11: the panel's numbers
    footnote,     // 10.5: the panel's status
    caption,      // 10: small labels and buttons
    caption2,     // 9: a list row's detail
};
double pointSize(TextRole role);
// Text on the desktop's own windows (settings, about, diagnostics): sizes relative to
// the desktop's font, so they follow the size the user chose there.
enum class DesktopText {
    caption,   // 0.85: hints, badges
    footnote,  // 0.92: details, warnings
    callout,   // 0.95: secondary lines
    body,      // 1
    heading,   // 1.15, bold: a section's title
    title,     // 1.6, bold: the product's name
};
// `base` (a widget's font) at the role's size and in its weight.
QFont desktopFont(DesktopText role, const QFont& base);
QFont desktopFont(DesktopText role, const QFont& base, QFont::Weight weight);

// The role's size in points, in the role's weight unless one is given.
QFont font(TextRole role);
QFont font(TextRole role, QFont::Weight weight);
// The same sizes in pixels, for the welcome window.
QFont pixelFont(TextRole role);
QFont pixelFont(TextRole role, QFont::Weight weight);
// The desktop's fixed-width font at the role's size, for values read in columns.
QFont monospaced(TextRole role);
// Digits of equal width, so a time or a rate does not jitter as it counts. The desktop's
// sans fonts draw figures of one width by default; Qt 6.4 cannot ask for it.
QFont monospacedDigits(TextRole role, QFont::Weight weight);

// The spacing scale, in points.
namespace Spacing {
inline constexpr int hairline = 2;
inline constexpr int tiny = 4;
inline constexpr int xSmall = 5;
inline constexpr int small = 6;
inline constexpr int compact = 8;
inline constexpr int medium = 10;
inline constexpr int regular = 12;
inline constexpr int roomy = 14;
inline constexpr int large = 16;
inline constexpr int section = 18;
inline constexpr int xLarge = 20;
inline constexpr int wide = 22;
inline constexpr int xWide = 26;
inline constexpr int window = 28;
inline constexpr int page = 40;
}  // namespace Spacing

}  // namespace vorela::Style
