#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// The onboarding window's look: a dark window tinted with the accent, text sizes in
// pixels as the design gives them in points, and the small builders its steps share.
namespace vorela::OnboardingStyle {

// Secondary foreground: white at reduced opacity on the dark background.
QColor secondaryColor();
QFont font(int pixelSize, QFont::Weight weight = QFont::Normal);
// A label; `wraps` lets it take as many lines as it needs at the width it gets.
QLabel* label(const QString& text, int pixelSize, QFont::Weight weight = QFont::Normal,
              const QColor& color = Qt::white, bool wraps = false);
// The callout text style in the secondary colour, wrapping.
QLabel* callout(const QString& text, const QColor& color = secondaryColor());
// A symbol beside a text, both in one colour; the text label is named `objectName`.
QWidget* iconLabel(std::string_view symbol, const QString& text, const QColor& color,
                   const char* objectName);
// Button styles: prominent (accent filled), default (grey bordered), plain and link.
enum class ButtonStyle { prominent, standard, plain, link };
QPushButton* button(const QString& title, ButtonStyle style, const char* objectName);
// A box of white at low opacity with rounded corners, the backing of the phrase, the
// editor and the key caps.
QString roundedBackground(double whiteOpacity, int radius);
// The header and body of steps 1 to 3: title, subtitle and a body column with the
// step's spacing; the step fills the body layout it is handed back.
QBoxLayout* stepLayout(QWidget* step, const QString& title, const QString& subtitle,
                       int bodySpacing);

}  // namespace vorela::OnboardingStyle
