#include "Onboarding/Qt/ScriptStep.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "Onboarding/OnboardingFlow.h"
#include "Onboarding/Qt/OnboardingStyle.h"
#include "Platform/Bundle/Bundle.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

using namespace OnboardingStyle;

QString t(std::string_view text) { return ViewKit::qText(Bundle::localized(text)); }

}  // namespace

ScriptStep::ScriptStep(OnboardingFlow& flow, QWidget* parent) : QWidget(parent), flow_(flow) {
    setObjectName("scriptStep");
    QBoxLayout* body = stepLayout(
        this, t("Pegá tu guion"),
        t("Lo que vas a leer. Después podés tener todos los que quieras en la biblioteca, o "
          "arrastrar un .txt, .md, .rtf o un .pptx con notas del presentador."),
        Style::Spacing::regular);

    editor_ = new QPlainTextEdit;
    editor_->setObjectName("draftEditor");
    editor_->setAccessibleName(t("Texto del guion"));
    editor_->setFont(Style::pixelFont(Style::TextRole::body));
    editor_->setMinimumHeight(200);
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setStyleSheet("QPlainTextEdit { color: white; padding: 6px; " +
                           roundedBackground(0.06, 10) + " }");
    connect(editor_, &QPlainTextEdit::textChanged, this,
            [this] { flow_.draft.set(editor_->toPlainText().toStdString()); });
    body->addWidget(editor_, 1);

    auto* row = new QHBoxLayout;
    auto* paste = button(t("Pegar del portapapeles"), ButtonStyle::standard, "pasteButton");
    connect(paste, &QPushButton::clicked, this, [this] { flow_.pasteFromPasteboard(); });
    auto* sample = button(t("Usar el guion de ejemplo"), ButtonStyle::standard, "sampleButton");
    connect(sample, &QPushButton::clicked, this, [this] { flow_.useSampleScript(); });
    wordCount_ = label({}, Style::TextRole::callout, Style::secondaryOnDark());
    wordCount_->setObjectName("wordCountLabel");
    row->addWidget(paste);
    row->addWidget(sample);
    row->addStretch(1);
    row->addWidget(wordCount_);
    body->addLayout(row);

    draftChanges_ = flow_.draft.observe([this](const std::string&) { refresh(); });
    refresh();
}

ScriptStep::~ScriptStep() = default;

void ScriptStep::refresh() {
    const QString draft = ViewKit::qText(flow_.draft.get());
    if (editor_->toPlainText() != draft) {
        const QSignalBlocker blocker(editor_);
        editor_->setPlainText(draft);
    }
    wordCount_->setText(ViewKit::qText(flow_.wordCountText()));
}

}  // namespace vorela
