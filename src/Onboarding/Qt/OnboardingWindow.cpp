#include "Onboarding/Qt/OnboardingWindow.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "Onboarding/Qt/IntroStep.h"
#include "Onboarding/Qt/OnboardingStyle.h"
#include "Onboarding/Qt/ReadyStep.h"
#include "Onboarding/Qt/ScriptStep.h"
#include "Onboarding/Qt/StepDots.h"
#include "Onboarding/Qt/VoiceStep.h"
#include "Platform/Accessibility/AccessibilitySettings.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Loop/RunLoop.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

using namespace OnboardingStyle;

constexpr int kWidth = 720;
constexpr int kHeight = 560;
constexpr double kEntranceDelaySeconds = 0.1;

OnboardingFlow::Focus focusKind(QWidget* focused) {
    if (qobject_cast<QPlainTextEdit*>(focused)) return OnboardingFlow::Focus::textEditor;
    if (qobject_cast<QAbstractButton*>(focused)) return OnboardingFlow::Focus::button;
    return OnboardingFlow::Focus::none;
}

}  // namespace

OnboardingWindow::OnboardingWindow(AppState& appState, PanelControlling& panel,
                                   OnboardingServices services, RunLoop& loop,
                                   const AccessibilitySettings& accessibility,
                                   std::function<void()> onFinish, QWidget* parent)
    : QWidget(parent),
      loop_(loop),
      flow_(std::make_unique<OnboardingFlow>(appState, panel, std::move(services),
                                             std::move(onFinish))) {
    setObjectName("onboarding");
    setWindowTitle(ViewKit::qText(Bundle::localized("Bienvenido a Vorela")));
    setFixedSize(kWidth, kHeight);
    // The window is always dark, whatever the desktop's theme.
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QString("#onboarding { background: %1; }").arg(Style::css(Style::darkWindow())));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    steps_ = new QStackedWidget;
    intro_ = new IntroStep(loop_, accessibility);
    steps_->addWidget(intro_);
    steps_->addWidget(new VoiceStep(*flow_, appState));
    steps_->addWidget(new ScriptStep(*flow_));
    steps_->addWidget(new ReadyStep);
    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(Style::Spacing::page, 0, Style::Spacing::page, 0);
    contentLayout->addWidget(steps_);
    root->addWidget(content, 1);

    auto* footer = new QWidget;
    footer->setObjectName("footer");
    footer->setAttribute(Qt::WA_StyledBackground);
    footer->setStyleSheet(
        QString("#footer { background: %1; }").arg(Style::css(Style::shade(0.35))));
    auto* bar = new QHBoxLayout(footer);
    bar->setContentsMargins(Style::Spacing::page, Style::Spacing::xLarge, Style::Spacing::page,
                            Style::Spacing::xLarge);
    bar->setSpacing(Style::Spacing::roomy);
    dots_ = new StepDots(loop_, OnboardingFlow::stepCount, accessibility.reduceMotion());
    bar->addWidget(dots_, 0, Qt::AlignVCenter);
    bar->addStretch(1);
    backButton_ =
        button(ViewKit::qText(Bundle::localized("Atrás")), ButtonStyle::plain, "backButton");
    connect(backButton_, &QPushButton::clicked, this, [this] { flow_->back(); });
    bar->addWidget(backButton_);
    primaryButton_ = button({}, ButtonStyle::prominent, "primaryButton");
    primaryButton_->setFont(Style::pixelFont(Style::TextRole::lead));  // the large control size
    connect(primaryButton_, &QPushButton::clicked, this, [this] { flow_->advance(); });
    bar->addWidget(primaryButton_);
    root->addWidget(footer);

    stepChanges_ = flow_->step.observe([this](int) { refresh(); });
    refresh();
}

OnboardingWindow::~OnboardingWindow() = default;

void OnboardingWindow::refresh() {
    const int step = flow_->step.get();
    steps_->setCurrentIndex(std::min(step, OnboardingFlow::stepCount - 1));
    intro_->setShowsHero(step == 0);
    dots_->setStep(step, ViewKit::qText(flow_->stepDotsLabel()));
    backButton_->setVisible(flow_->showsBackButton());
    primaryButton_->setText(ViewKit::qText(flow_->primaryButtonTitle()));
}

void OnboardingWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (flow_->appeared.get() || appearTimer_.isActive()) return;
    primaryButton_->setFocus();
    appearTimer_ = loop_.schedule(kEntranceDelaySeconds, [this] {
        flow_->appeared.set(true);
        intro_->appear();
    });
}

void OnboardingWindow::keyPressEvent(QKeyEvent* event) {
    std::optional<OnboardingFlow::Key> key;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = OnboardingFlow::Key::returnKey;
    else if (event->key() == Qt::Key_Space)
        key = OnboardingFlow::Key::space;
    if (!key || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    QWidget* focused = focusWidget();
    switch (OnboardingFlow::keyTarget(*key, focusKind(focused))) {
        case OnboardingFlow::KeyTarget::primaryButton:
            primaryButton_->click();
            break;
        case OnboardingFlow::KeyTarget::focusedButton:
            qobject_cast<QAbstractButton*>(focused)->click();
            break;
        case OnboardingFlow::KeyTarget::textEditor:
        case OnboardingFlow::KeyTarget::nothing:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

}  // namespace vorela
