#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

#include "Ui/Style.h"

class QBoxLayout;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// The small builders the welcome window's steps share, on the shared style: a dark window
// tinted with the accent, text roles in pixels (Style::pixelFont).
namespace vorela::OnboardingStyle {

// A label in a text role; `wraps` lets it take as many lines as it needs at the width it
// gets.
QLabel* label(const QString& text, Style::TextRole role, const QColor& color = Qt::white,
              bool wraps = false);
QLabel* label(const QString& text, Style::TextRole role, QFont::Weight weight,
              const QColor& color = Qt::white, bool wraps = false);
// The callout text style in the secondary colour, wrapping.
QLabel* callout(const QString& text, const QColor& color = Style::secondaryOnDark());
// A symbol beside a text, both in one colour; the text label is named `objectName`.
QWidget* iconLabel(std::string_view symbol, const QString& text, const QColor& color,
                   const char* objectName);
// Button styles: prominent (accent filled), default (grey bordered), plain and link.
enum class ButtonStyle { prominent, standard, plain, link };
QPushButton* button(const QString& title, ButtonStyle style, const char* objectName);
// A thin line across the step, white at low opacity.
QFrame* divider();
// A box of white at low opacity with rounded corners, the backing of the phrase, the
// editor and the key caps.
QString roundedBackground(double whiteOpacity, int radius);
// The header and body of steps 1 to 3: title, subtitle and a body column with the
// step's spacing; the step fills the body layout it is handed back.
QBoxLayout* stepLayout(QWidget* step, const QString& title, const QString& subtitle,
                       int bodySpacing);

}  // namespace vorela::OnboardingStyle
