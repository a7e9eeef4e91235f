#pragma once

#include <QComboBox>
#include <QString>
#include <QVariant>
#include <array>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

class QFormLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QWidget;

// The grouped form the settings tabs share: titled sections of labelled rows, pop-up
// choices with tags, and the caption texts of the design.
namespace vorela {
class AppState;
}

namespace vorela::SettingsForm {

// A section with a title (none when empty) appended to the page's vertical layout.
QFormLayout* addSection(QLayout* page, const QString& title = {});

using Choices = std::vector<std::pair<QString, QVariant>>;
QComboBox* makePicker(const char* objectName, const Choices& choices);
// Every case of an enumeration by its display name, tagged with its raw value.
template <class T, std::size_t N>
Choices choicesOf(const std::array<T, N>& cases) {
    Choices choices;
    for (T value : cases)
        choices.emplace_back(QString::fromStdString(localizedName(value)),
                             QString::fromUtf8(rawValue(value)));
    return choices;
}
template <class T>
QVariant tagOf(T value) {
    return QString::fromUtf8(rawValue(value));
}
// The case the picker shows; nothing when no entry is selected.
template <class T>
std::optional<T> chosen(const QComboBox* picker) {
    return fromRawValue(std::type_identity<T>{}, picker->currentData().toString().toStdString());
}
// The recognition language, shown from the preference and chosen through the state.
QComboBox* makeLocalePicker(AppState& appState);

// Selects the entry tagged `tag` without emitting; no entry when none has that tag.
void selectTag(QComboBox* picker, const QVariant& tag);

enum class TextStyle { body, caption, callout, warning };
// A wrapping label; warnings are orange, captions and callouts in the secondary shade.
QLabel* makeText(const char* objectName, const QString& text, TextStyle style);
void makeSelectable(QLabel* label);

}  // namespace vorela::SettingsForm
