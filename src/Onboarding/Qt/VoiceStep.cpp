#include "Onboarding/Qt/VoiceStep.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "Onboarding/OnboardingFlow.h"
#include "Onboarding/Qt/OnboardingStyle.h"
#include "Platform/Bundle/Bundle.h"
#include "Ui/LevelMeter.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

using namespace OnboardingStyle;

QString t(std::string_view text) { return ViewKit::qText(Bundle::localized(text)); }

// A button and, beside it, its result taking the rest of the width.
QWidget* row(QWidget* button, QWidget* result) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Style::Spacing::regular);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->addWidget(button, 0, Qt::AlignVCenter);
    layout->addWidget(result, 1, Qt::AlignVCenter);
    return box;
}

void setIconLabelText(QWidget* iconLabel, const char* name,
                      const std::optional<std::string>& text) {
    iconLabel->setVisible(text.has_value());
    if (text) iconLabel->findChild<QLabel*>(name)->setText(ViewKit::qText(*text));
}

}  // namespace

VoiceStep::VoiceStep(OnboardingFlow& flow, const AppState& appState, QWidget* parent)
    : QWidget(parent), flow_(flow), appState_(appState) {
    setObjectName("voiceStep");
    // "dentro de tu Mac" on the original desktop: recognition runs on this computer.
    QBoxLayout* body = stepLayout(
        this, t("Aprendé tu voz"),
        t("Dos permisos y treinta segundos. Todo el reconocimiento ocurre dentro de tu equipo: "
          "no se envía audio ni texto a ningún servidor, ni siquiera anónimo."),
        Style::Spacing::large);

    calibrateButton_ = button({}, ButtonStyle::prominent, "calibrateButton");
    connect(calibrateButton_, &QPushButton::clicked, this, [this] { flow_.requestAndCalibrate(); });
    calibrationResult_ =
        iconLabel("checkmark.circle.fill", {}, Style::green(), "calibrationResultLabel");
    body->addWidget(row(calibrateButton_, calibrationResult_));

    meter_ = new LevelMeter;
    meter_->setObjectName("levelMeter");
    meter_->setFixedHeight(8);
    body->addWidget(meter_);

    problem_ = new QWidget;
    problem_->setObjectName("permissionProblem");
    auto* problemColumn = new QVBoxLayout(problem_);
    problemColumn->setContentsMargins(0, 0, 0, 0);
    problemColumn->setSpacing(Style::Spacing::small);
    problemColumn->addWidget(
        iconLabel("exclamationmark.triangle.fill", {}, Style::orange(), "permissionProblemLabel"));
    // "Ajustes del Sistema" names the original desktop's settings application.
    auto* openSettings =
        button(t("Abrir la configuración del sistema"), ButtonStyle::link, "openSettingsButton");
    connect(openSettings, &QPushButton::clicked, this, [this] { flow_.openMicrophoneSettings(); });
    problemColumn->addWidget(openSettings, 0, Qt::AlignLeft);
    settingsProblem_ = callout({}, Style::orange());
    settingsProblem_->setObjectName("settingsProblemLabel");
    problemColumn->addWidget(settingsProblem_);
    body->addWidget(problem_);

    phraseSection_ = new QWidget;
    phraseSection_->setObjectName("phraseSection");
    auto* phrase = new QVBoxLayout(phraseSection_);
    phrase->setContentsMargins(0, 0, 0, 0);
    phrase->setSpacing(Style::Spacing::large);
    phrase->addWidget(divider());
    phrase->addWidget(callout(
        t("Ahora leé esta frase en voz alta, a tu ritmo normal. Con eso medimos qué tan bien te "
          "entiende el reconocedor y ajustamos el seguimiento a tu forma de hablar.")));
    auto* sentence = label(ViewKit::qText(AppState::calibrationPhrase()), Style::TextRole::lead,
                           Qt::white, true);
    sentence->setObjectName("calibrationPhraseLabel");
    sentence->setStyleSheet("color: white; padding: 12px; " + roundedBackground(0.06, 10));
    phrase->addWidget(sentence);
    measureButton_ = button({}, ButtonStyle::standard, "measureButton");
    connect(measureButton_, &QPushButton::clicked, this, [this] { flow_.measureQuality(); });
    qualityResult_ = iconLabel("waveform.badge.magnifyingglass", {}, Style::secondaryOnDark(),
                               "qualityResultLabel");
    phrase->addWidget(row(measureButton_, qualityResult_));
    body->addWidget(phraseSection_);

    auto watch = [this](auto& field) {
        subscriptions_.push_back(field.observe([this](const auto&) { refresh(); }));
    };
    watch(flow_.isCalibrating);
    watch(flow_.calibrationResult);
    watch(flow_.permissionProblem);
    watch(flow_.settingsProblem);
    watch(flow_.isMeasuring);
    watch(flow_.qualityResult);
    auto watchMeter = [this](const auto& field) {
        subscriptions_.push_back(field.observe([this](const auto&) { refreshMeter(); }));
    };
    watchMeter(appState_.micLevel);
    watchMeter(appState_.isSpeaking);
    watchMeter(appState_.voiceProfile);
    refresh();
    refreshMeter();
}

VoiceStep::~VoiceStep() = default;

void VoiceStep::refresh() {
    calibrateButton_->setText(ViewKit::qText(flow_.calibrateButtonTitle()));
    calibrateButton_->setEnabled(!flow_.isCalibrating.get());
    setIconLabelText(calibrationResult_, "calibrationResultLabel", flow_.calibrationResult.get());
    setIconLabelText(problem_, "permissionProblemLabel", flow_.permissionProblem.get());
    const auto& settingsProblem = flow_.settingsProblem.get();
    settingsProblem_->setVisible(settingsProblem.has_value());
    settingsProblem_->setText(ViewKit::qText(settingsProblem.value_or("")));
    phraseSection_->setVisible(flow_.calibrationResult.get().has_value());
    measureButton_->setText(ViewKit::qText(flow_.measureButtonTitle()));
    measureButton_->setEnabled(!flow_.isMeasuring.get());
    setIconLabelText(qualityResult_, "qualityResultLabel", flow_.qualityResult.get());
}

void VoiceStep::refreshMeter() {
    meter_->setInputs(appState_.micLevel.get(), appState_.voiceProfile.get().speechThresholdLevel(),
                      appState_.isSpeaking.get());
}

}  // namespace vorela
