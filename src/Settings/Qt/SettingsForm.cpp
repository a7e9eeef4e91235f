#include "Settings/Qt/SettingsForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QSignalBlocker>

#include "App/AppState.h"
#include "Ui/Style.h"

namespace vorela::SettingsForm {

QFormLayout* addSection(QLayout* page, const QString& title) {
    auto* box = new QGroupBox(title);
    auto* form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    page->addWidget(box);
    return form;
}

QComboBox* makePicker(const char* objectName, const Choices& choices) {
    auto* picker = new QComboBox;
    picker->setObjectName(objectName);
    for (const auto& [label, tag] : choices) picker->addItem(label, tag);
    return picker;
}

QComboBox* makeLocalePicker(AppState& appState) {
    auto* picker = makePicker("localePicker", choicesOf(kAllTranscriptionLocales));
    QObject::connect(picker, &QComboBox::currentIndexChanged, picker, [picker, &appState] {
        if (auto locale = chosen<TranscriptionLocale>(picker))
            appState.setTranscriptionLocale(*locale);
    });
    return picker;
}

void selectTag(QComboBox* picker, const QVariant& tag) {
    const QSignalBlocker blocker(picker);
    picker->setCurrentIndex(picker->findData(tag));
}

QLabel* makeText(const char* objectName, const QString& text, TextStyle style) {
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    QFont font = label->font();
    QPalette palette = label->palette();
    switch (style) {
        case TextStyle::body:
            break;
        case TextStyle::caption:
            font = Style::desktopFont(Style::DesktopText::caption, font);
            palette.setColor(QPalette::WindowText, Style::secondaryText(palette));
            break;
        case TextStyle::callout:
            font = Style::desktopFont(Style::DesktopText::callout, font);
            palette.setColor(QPalette::WindowText, Style::secondaryText(palette));
            break;
        case TextStyle::warning:
            font = Style::desktopFont(Style::DesktopText::footnote, font);
            palette.setColor(QPalette::WindowText, Style::orange());
            break;
    }
    label->setFont(font);
    label->setPalette(palette);
    return label;
}

void makeSelectable(QLabel* label) {
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

}  // namespace vorela::SettingsForm
