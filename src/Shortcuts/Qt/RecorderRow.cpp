#include "Shortcuts/Qt/RecorderRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Shortcuts/Qt/ConflictPolicyScope.h"
#include "Shortcuts/Qt/ShortcutRecorder.h"
#include "Shortcuts/ShortcutTexts.h"

namespace vorela::Shortcuts {

RecorderRow::RecorderRow(Context& context, std::optional<std::string> title, const Name& name,
                         RecorderController::OnChange onChange, QWidget* parent)
    : QWidget(parent), onChange_(std::move(onChange)) {
    // The control's callback is fixed at creation and always reaches the latest onChange.
    recorder_ = new ShortcutRecorder(
        context, name, [this](auto shortcut) { changed(shortcut); }, this);
    build(title);
}

RecorderRow::RecorderRow(Context& context, std::optional<std::string> title,
                         ShortcutBinding binding, RecorderController::OnChange onChange,
                         QWidget* parent)
    : QWidget(parent), binding_(std::move(binding)), onChange_(std::move(onChange)) {
    recorder_ = new ShortcutRecorder(
        context, binding_->get ? binding_->get() : std::nullopt,
        [this](auto shortcut) { changed(shortcut); }, this);
    build(title);
}

RecorderRow::~RecorderRow() = default;

void RecorderRow::build(const std::optional<std::string>& title) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QHBoxLayout();
    column->addLayout(layout);
    if (title) {
        label_ = new QLabel(QString::fromStdString(*title), this);
        label_->setObjectName("label");
        label_->setBuddy(recorder_);
        layout->addWidget(label_);
        layout->addStretch();
    }
    layout->addWidget(recorder_);
    takenNote_ =
        new QLabel(QString::fromStdString(localizedText("keyboard_shortcut_used_by_system")), this);
    takenNote_->setObjectName("takenBySystem");
    takenNote_->setWordWrap(true);
    takenNote_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    takenNote_->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(takenNote_);
    connect(recorder_, &ShortcutRecorder::displayUpdated, this, [this] { showWhetherTaken(); });
    refresh();
    showWhetherTaken();
}

void RecorderRow::showWhetherTaken() {
    const bool isTaken = recorder_->controller().isTakenBySystem();
    // Hidden rather than emptied, so the form's rows keep one height when nothing is taken.
    takenNote_->setVisible(isTaken);
    recorder_->setToolTip(isTaken ? takenNote_->text() : QString());
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
