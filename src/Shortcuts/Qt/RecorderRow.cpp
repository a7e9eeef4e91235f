#include "Shortcuts/Qt/RecorderRow.h"

#include <QHBoxLayout>
#include <QLabel>

#include "Shortcuts/Qt/ConflictPolicyScope.h"
#include "Shortcuts/Qt/ShortcutRecorder.h"

namespace vorela::Shortcuts {

RecorderRow::RecorderRow(std::optional<std::string> title, const Name& name,
                         RecorderController::OnChange onChange, QWidget* parent)
    : QWidget(parent), onChange_(std::move(onChange)) {
    // The control's callback is fixed at creation and always reaches the latest onChange.
    recorder_ = new ShortcutRecorder(
        name, [this](auto shortcut) { changed(shortcut); }, this);
    build(title);
}

RecorderRow::RecorderRow(std::optional<std::string> title, ShortcutBinding binding,
                         RecorderController::OnChange onChange, QWidget* parent)
    : QWidget(parent), binding_(std::move(binding)), onChange_(std::move(onChange)) {
    recorder_ = new ShortcutRecorder(
        binding_->get ? binding_->get() : std::nullopt,
        [this](auto shortcut) { changed(shortcut); }, this);
    build(title);
}

RecorderRow::~RecorderRow() = default;

void RecorderRow::build(const std::optional<std::string>& title) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (title) {
        label_ = new QLabel(QString::fromStdString(*title), this);
        label_->setObjectName("label");
        label_->setBuddy(recorder_);
        layout->addWidget(label_);
        layout->addStretch();
    }
    layout->addWidget(recorder_);
    refresh();
}

void RecorderRow::changed(std::optional<Shortcut> shortcut) {
    if (binding_ && binding_->set) binding_->set(shortcut);
    if (const auto onChange = onChange_) onChange(shortcut);
}

void RecorderRow::setShortcutValidation(RecorderController::Validator validator) {
    recorder_->controller().setValidateShortcut(std::move(validator));
}

void RecorderRow::refresh() {
    RecorderController& controller = recorder_->controller();
    controller.setConflictPolicy(shortcutsConflictPolicy(this));
    // Stores the bound value without calling back.
    if (binding_ && binding_->get) controller.setShortcut(binding_->get());
}

}  // namespace vorela::Shortcuts
