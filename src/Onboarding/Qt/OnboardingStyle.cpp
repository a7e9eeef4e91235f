#include "Onboarding/Qt/OnboardingStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Ui/ViewKit.h"

namespace vorela::OnboardingStyle {
namespace {

constexpr double kSecondaryOpacity = 0.6;  // reads as secondary on the 0.07 grey
constexpr int kIconPixels = 16;

QString rgba(const QColor& c) {
    return QString("rgba(%1, %2, %3, %4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(QString::number(c.alphaF(), 'f', 3));
}

}  // namespace

QColor secondaryColor() {
    QColor c(Qt::white);
    c.setAlphaF(kSecondaryOpacity);
    return c;
}

QFont font(int pixelSize, QFont::Weight weight) {
    QFont f;
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

QLabel* label(const QString& text, int pixelSize, QFont::Weight weight, const QColor& color,
              bool wraps) {
    auto* l = new QLabel(text);
    l->setFont(font(pixelSize, weight));
    l->setStyleSheet(QString("color: %1; background: transparent;").arg(rgba(color)));
    l->setWordWrap(wraps);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel* callout(const QString& text, const QColor& color) {
    // The callout style is 12 points on the original desktop, one less than the body.
    return label(text, 12, QFont::Normal, color, true);
}

QWidget* iconLabel(std::string_view symbol, const QString& text, const QColor& color,
                   const char* objectName) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
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
    const QString accent = rgba(ViewKit::accentColor());
    switch (style) {
        case ButtonStyle::prominent:
            b->setStyleSheet(QString("QPushButton { background: %1; color: white; border: none;"
                                     " border-radius: 6px; padding: 6px 16px; }"
                                     "QPushButton:disabled { background: rgba(247, 126, 45, 0.45);"
                                     " color: rgba(255, 255, 255, 0.6); }"
                                     "QPushButton:focus { border: 2px solid white; }")
                                 .arg(accent));
            break;
        case ButtonStyle::standard:
            b->setStyleSheet(
                "QPushButton { background: rgba(255, 255, 255, 0.12); color: white;"
                " border: 1px solid rgba(255, 255, 255, 0.18); border-radius: 6px;"
                " padding: 4px 12px; }"
                "QPushButton:disabled { color: rgba(255, 255, 255, 0.4); }"
                "QPushButton:focus { border: 1px solid " +
                accent + "; }");
            break;
        case ButtonStyle::plain:
            b->setStyleSheet(QString("QPushButton { background: transparent; color: %1;"
                                     " border: none; padding: 6px 10px; }")
                                 .arg(rgba(secondaryColor())));
            break;
        case ButtonStyle::link:
            b->setStyleSheet(QString("QPushButton { background: transparent; color: %1;"
                                     " border: none; padding: 0; text-align: left; }")
                                 .arg(accent));
            break;
    }
    return b;
}

QString roundedBackground(double whiteOpacity, int radius) {
    return QString("background: rgba(255, 255, 255, %1); border-radius: %2px;")
        .arg(QString::number(whiteOpacity, 'f', 2))
        .arg(radius);
}

QBoxLayout* stepLayout(QWidget* step, const QString& title, const QString& subtitle,
                       int bodySpacing) {
    auto* column = new QVBoxLayout(step);
    column->setContentsMargins(0, 34, 0, 0);
    column->setSpacing(18);
    auto* header = new QVBoxLayout;
    header->setSpacing(6);
    auto* titleLabel = label(title, 24, QFont::DemiBold);
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
