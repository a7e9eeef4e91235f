#include "App/Qt/UnsavedChangesPrompt.h"

#include <QMessageBox>
#include <QPushButton>

#include "Script/ScriptLibrary.h"
#include "Ui/ViewKit.h"

namespace vorela {

UnsavedChangesPrompt::UnsavedChangesPrompt(ScriptLibrary& library, std::function<void()> quit)
    : library_(library), quit_(std::move(quit)) {}

UnsavedChangesPrompt::~UnsavedChangesPrompt() { delete question_; }

QMessageBox* UnsavedChangesPrompt::question() const {
    return question_ && question_->isVisible() ? question_.data() : nullptr;
}

void UnsavedChangesPrompt::requestQuit() {
    library_.save();
    if (!library_.hasUnsavedChanges()) {
        if (question()) question_->close();
        quit_();
        return;
    }
    ask();
}

void UnsavedChangesPrompt::ask() {
    const std::string titles = library_.unsavedTitles();
    const QString text = ViewKit::qText("No se pudieron guardar los últimos cambios de " +
                                        (titles.empty() ? std::string("la biblioteca") : titles) +
                                        ". " + library_.saveError().value_or("") +
                                        " Si salís ahora, esos cambios se pierden.");
    if (question_ && question_->isVisible()) {
        question_->setText(text);  // a retry that failed again: the newest reason
        question_->raise();
        return;
    }
    question_ = new QMessageBox(QMessageBox::Warning, "Hay cambios sin guardar", text);
    question_->setObjectName("unsavedChangesAlert");
    auto* retry = question_->addButton("Reintentar", QMessageBox::AcceptRole);
    retry->setObjectName("retryButton");
    auto* discard = question_->addButton("Salir sin guardar", QMessageBox::DestructiveRole);
    discard->setObjectName("quitWithoutSavingButton");
    auto* cancel = question_->addButton("Cancelar", QMessageBox::RejectRole);
    cancel->setObjectName("cancelButton");
    question_->setDefaultButton(retry);
    question_->setAttribute(Qt::WA_DeleteOnClose);
    // The box closes itself on any button; a retry that fails opens it again.
    connect(
        retry, &QPushButton::clicked, this, [this] { requestQuit(); }, Qt::QueuedConnection);
    connect(
        discard, &QPushButton::clicked, this,
        [this] {
            library_.discardUnsavedChanges();
            quit_();
        },
        Qt::QueuedConnection);
    question_->show();
}

}  // namespace vorela
