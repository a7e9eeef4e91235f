#pragma once

#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QWidget;

// The grouped form the settings tabs share: titled sections of labelled rows, pop-up
// choices with tags, and the caption texts of the design.
namespace vorela::SettingsForm {

// A section with a title (none when empty) appended to the page's vertical layout.
QFormLayout* addSection(QLayout* page, const QString& title = {});

using Choices = std::vector<std::pair<QString, QVariant>>;
QComboBox* makePicker(const char* objectName, const Choices& choices);
// Selects the entry tagged `tag` without emitting; no entry when none has that tag.
void selectTag(QComboBox* picker, const QVariant& tag);

enum class TextStyle { body, caption, callout, warning };
// A wrapping label; warnings are orange, captions and callouts in the secondary shade.
QLabel* makeText(const char* objectName, const QString& text, TextStyle style);
void makeSelectable(QLabel* label);

}  // namespace vorela::SettingsForm
