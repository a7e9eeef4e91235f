#pragma once

#include <QWidget>

#include "Platform/Observation/Subscription.h"

class QLabel;
class QPlainTextEdit;

namespace vorela {

class OnboardingFlow;

// Step 2: the first script, typed or pasted into an editor bound to the flow's draft,
// with the clipboard and sample buttons and the live word count.
class ScriptStep final : public QWidget {
    Q_OBJECT

public:
    explicit ScriptStep(OnboardingFlow& flow, QWidget* parent = nullptr);
    ~ScriptStep() override;

private:
    void refresh();

    OnboardingFlow& flow_;
    QPlainTextEdit* editor_ = nullptr;
    QLabel* wordCount_ = nullptr;
    // Last: no notification reaches a half-destroyed view.
    Subscription draftChanges_;
};

}  // namespace vorela
