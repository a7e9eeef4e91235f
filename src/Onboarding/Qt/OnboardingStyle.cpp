#include "Onboarding/Qt/OnboardingStyle.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Ui/ViewKit.h"

namespace vorela::OnboardingStyle {
namespace {

using Style::css;
using Style::TextRole;
namespace Spacing = Style::Spacing;

constexpr int kIconPixels = 16;
// The steps' header starts this far below the window's top edge.
constexpr int kStepTop = 34;

}  // namespace

QLabel* label(const QString& text, TextRole role, const QColor& color, bool wraps) {
    return label(text, role, Style::pixelFont(role).weight(), color, wraps);
}

QLabel* label(const QString& text, TextRole role, QFont::Weight weight, const QColor& color,
              bool wraps) {
    auto* l = new QLabel(text);
    l->setFont(Style::pixelFont(role, weight));
    l->setStyleSheet(QString("color: %1; background: transparent;").arg(css(color)));
    l->setWordWrap(wraps);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel* callout(const QString& text, const QColor& color) {
    return label(text, TextRole::callout, color, true);
}

QWidget* iconLabel(std::string_view symbol, const QString& text, const QColor& color,
                   const char* objectName) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Spacing::small);
    auto* icon = new QLabel;
    icon->setPixmap(ViewKit::symbolPixmap(symbol, color, kIconPixels));
    icon->setFixedSize(kIconPixels, kIconPixels);
    auto* words = callout(text, color);
    words->setObjectName(objectName);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(words, 1);
    return box;
}

QPushButton* button(const QString& title, ButtonStyle style, const char* objectName) {
    auto* b = new QPushButton(title);
    b->setObjectName(objectName);
    b->setCursor(Qt::PointingHandCursor);
    const QString accent = css(Style::accent());
    QColor dimAccent = Style::accent();
    dimAccent.setAlphaF(0.45f);
    switch (style) {
        case ButtonStyle::prominent:
            b->setStyleSheet(QString("QPushButton { background: %1; color: white; border: none;"
                                     " border-radius: 6px; padding: 6px 16px; }"
                                     "QPushButton:disabled { background: %2; color: %3; }"
                                     "QPushButton:focus { border: 2px solid white; }")
                                 .arg(accent, css(dimAccent), css(Style::secondaryOnDark())));
            break;
        case ButtonStyle::standard:
            b->setStyleSheet(QString("QPushButton { background: %1; color: white;"
                                     " border: 1px solid %2; border-radius: 6px;"
                                     " padding: 4px 12px; }"
                                     "QPushButton:disabled { color: %3; }"
                                     "QPushButton:focus { border: 1px solid %4; }")
                                 .arg(css(Style::onDark(0.12)), css(Style::onDark(0.18)),
                                      css(Style::onDark(0.4)), accent));
            break;
        case ButtonStyle::plain:
            b->setStyleSheet(QString("QPushButton { background: transparent; color: %1;"
                                     " border: none; padding: 6px 10px; }")
                                 .arg(css(Style::secondaryOnDark())));
            break;
        case ButtonStyle::link:
            b->setStyleSheet(QString("QPushButton { background: transparent; color: %1;"
                                     " border: none; padding: 0; text-align: left; }")
                                 .arg(accent));
            break;
    }
    return b;
}

QFrame* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QString("color: %1;").arg(css(Style::onDark(0.15))));
    return line;
}

QString roundedBackground(double whiteOpacity, int radius) {
    return QString("background: %1; border-radius: %2px;")
        .arg(css(Style::onDark(whiteOpacity)))
        .arg(radius);
}

QBoxLayout* stepLayout(QWidget* step, const QString& title, const QString& subtitle,
                       int bodySpacing) {
    auto* column = new QVBoxLayout(step);
    column->setContentsMargins(0, kStepTop, 0, 0);
    column->setSpacing(Spacing::section);
    auto* header = new QVBoxLayout;
    header->setSpacing(Spacing::small);
    auto* titleLabel = label(title, TextRole::title);
    titleLabel->setObjectName("stepTitle");
    header->addWidget(titleLabel);
    header->addWidget(callout(subtitle));
    column->addLayout(header);
    auto* body = new QVBoxLayout;
    body->setSpacing(bodySpacing);
    column->addLayout(body);
    column->addStretch(1);
    return body;
}

}  // namespace vorela::OnboardingStyle
