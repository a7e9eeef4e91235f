#include "Ui/Style.h"

#include <QFontDatabase>
#include <QPalette>
#include <iterator>

#include "Platform/Foundation/Format.h"
#include "Render/Brand.h"
#include "Ui/ViewKit.h"

namespace vorela::Style {
namespace {

struct Role {
    double size;
    QFont::Weight weight;
};

// In the order of the enumerations.
constexpr Role kTextRoles[] = {
    {27, QFont::DemiBold}, {24, QFont::DemiBold}, {18, QFont::DemiBold}, {16, QFont::DemiBold},
    {15, QFont::Medium},   {14, QFont::Normal},   {13, QFont::Normal},   {12, QFont::Normal},
    {11, QFont::Normal},   {10.5, QFont::Normal}, {10, QFont::Normal},   {9, QFont::Normal},
};
static_assert(std::size(kTextRoles) == std::size_t(TextRole::caption2) + 1);
constexpr Role kDesktopTexts[] = {
    {0.85, QFont::Normal}, {0.92, QFont::Normal}, {0.95, QFont::Normal},
    {1, QFont::Normal},    {1.15, QFont::Bold},   {1.6, QFont::Bold},
};
static_assert(std::size(kDesktopTexts) == std::size_t(DesktopText::title) + 1);

Role role(TextRole r) { return kTextRoles[std::size_t(r)]; }
Role role(DesktopText r) { return kDesktopTexts[std::size_t(r)]; }

// Secondary words on the dark surfaces: white at 0.6 reads as secondary on the 0.07 grey.
constexpr double kSecondaryOnDark = 0.6;
// Secondary words on a desktop window: its text colour at 150 of 255.
constexpr int kSecondaryAlpha = 150;

}  // namespace

QColor accent() { return ViewKit::qColor(Brand::accent()); }
QColor green() { return {52, 199, 89}; }
QColor red() { return {255, 59, 48}; }
QColor orange() { return {255, 149, 0}; }
QColor errorText() { return {179, 38, 30}; }
QColor errorFill(double opacity) {
    QColor fill = errorText();
    fill.setAlphaF(float(opacity));
    return fill;
}

QColor darkWindow() { return {18, 18, 18}; }

QColor onDark(double opacity) { return QColor::fromRgbF(1, 1, 1, float(opacity)); }
QColor shade(double opacity) { return QColor::fromRgbF(0, 0, 0, float(opacity)); }

QColor neutral(double opacity) {
    QColor grey(128, 128, 128);
    grey.setAlphaF(float(opacity));
    return grey;
}

QColor secondaryOnDark() { return onDark(kSecondaryOnDark); }

QColor secondaryText(const QPalette& palette) {
    QColor text = palette.color(QPalette::WindowText);
    text.setAlpha(kSecondaryAlpha);
    return text;
}

QString css(const QColor& c) {
    return ViewKit::qText(
        format("rgba(%d, %d, %d, %.3f)", c.red(), c.green(), c.blue(), double(c.alphaF())));
}

QFont desktopFont(DesktopText r, const QFont& base) { return desktopFont(r, base, role(r).weight); }

QFont desktopFont(DesktopText r, const QFont& base, QFont::Weight weight) {
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * role(r).size);
    f.setWeight(weight);
    return f;
}

double pointSize(TextRole r) { return role(r).size; }

QFont font(TextRole r) { return font(r, role(r).weight); }

QFont font(TextRole r, QFont::Weight weight) {
    QFont f;
    f.setPointSizeF(role(r).size);
    f.setWeight(weight);
    return f;
}

QFont pixelFont(TextRole r) { return pixelFont(r, role(r).weight); }

QFont pixelFont(TextRole r, QFont::Weight weight) {
    QFont f;
    f.setPixelSize(int(role(r).size));
    f.setWeight(weight);
    return f;
}

QFont monospaced(TextRole r) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSizeF(role(r).size);
    return f;
}

QFont monospacedDigits(TextRole r, QFont::Weight weight) { return font(r, weight); }

}  // namespace vorela::Style
