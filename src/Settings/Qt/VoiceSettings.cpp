#include "Settings/Qt/VoiceSettings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "Settings/Qt/SettingsForm.h"
#include "Settings/Qt/SliderRow.h"
#include "Settings/SettingsTexts.h"
#include "Ui/LevelMeter.h"
#include "Ui/ViewKit.h"

namespace vorela {

using SettingsForm::TextStyle;
using ViewKit::qText;

VoiceSettings::VoiceSettings(AppState& appState, RunLoop& loop, QWidget* parent)
    : QWidget(parent), appState_(appState), keys_(loop) {
    auto* page = new QVBoxLayout(this);

    auto* recognition = SettingsForm::addSection(page, "Reconocimiento");
    localePicker_ = SettingsForm::makeLocalePicker(appState_);
    recognition->addRow("Idioma", localePicker_);
    engine_ = SettingsForm::makeText("engineLabel", {}, TextStyle::body);
    recognition->addRow("Motor", engine_);
    recognition->addRow(
        "Procesamiento",
        SettingsForm::makeText("processingLabel", SettingsTexts::kProcessing, TextStyle::body));
    problem_ = SettingsForm::makeText("problemLabel", {}, TextStyle::warning);
    recognition->addRow(problem_);

    auto* microphone = SettingsForm::addSection(page, "Micrófono");
    meter_ = new LevelMeter;
    meter_->setObjectName("levelMeter");
    meter_->setFixedHeight(10);
    microphone->addRow("Nivel", meter_);
    sensitivity_ = new SliderRow("sensitivitySlider", 0, 100, "%.0f", {}, 34);
    // A whole number cut toward zero, not rounded: 50.9 reads 50.
    sensitivity_->setTextOf(&SettingsTexts::wholeNumber);
    sensitivity_->setOnMoved([this](double value) { appState_.setMicSensitivity(value); });
    microphone->addRow("Sensibilidad", sensitivity_);
    noiseFloor_ = SettingsForm::makeText("noiseFloorLabel", {}, TextStyle::body);
    microphone->addRow("Piso de ruido", noiseFloor_);
    auto* calibrationRow = new QHBoxLayout;
    recalibrate_ = new QPushButton;
    recalibrate_->setObjectName("recalibrateButton");
    connect(recalibrate_, &QPushButton::clicked, this, [this] {
        // Not cancelled with the tab: the state finishes the measurement on its own.
        appState_.calibrateNoiseFloor(VoiceCalibration::kNoiseFloorSeconds,
                                      [](std::optional<double>) {});
    });
    calibrationRow->addWidget(recalibrate_);
    pace_ = SettingsForm::makeText("measuredPaceLabel", {}, TextStyle::caption);
    calibrationRow->addWidget(pace_, 1);
    microphone->addRow(calibrationRow);
    page->addStretch(1);

    changes_.push_back(appState_.micLevel.observe([this](const double&) { refreshMeter(); }));
    changes_.push_back(appState_.isSpeaking.observe([this](const bool&) { refreshMeter(); }));
    changes_.push_back(appState_.voiceProfile.observe([this](const VoiceProfile&) { refresh(); }));
    changes_.push_back(appState_.isCalibrating.observe([this](const bool&) { refresh(); }));
    changes_.push_back(
        appState_.transcriptionEngineName.observe([this](const std::string&) { refresh(); }));
    changes_.push_back(appState_.transcriptionProblem.observe(
        [this](const std::optional<std::string>&) { refresh(); }));
    keys_.watch(Prefs::Keys::transcriptionLocale(), [this] { refresh(); });
    refresh();
}

void VoiceSettings::refreshMeter() {
    meter_->setInputs(appState_.micLevel.get(), appState_.voiceProfile.get().speechThresholdLevel(),
                      appState_.isSpeaking.get());
}

void VoiceSettings::refresh() {
    SettingsForm::selectTag(localePicker_,
                            QString::fromUtf8(rawValue(appState_.transcriptionLocale())));
    engine_->setText(qText(SettingsTexts::engineName(appState_.transcriptionEngineName.get())));
    const auto& problem = appState_.transcriptionProblem.get();
    problem_->setText(problem ? qText(*problem) : QString());
    problem_->setVisible(problem.has_value());

    const VoiceProfile& profile = appState_.voiceProfile.get();
    sensitivity_->setValue(profile.sensitivity);
    noiseFloor_->setText(qText(SettingsTexts::noiseFloor(profile.noiseFloor)));
    const bool calibrating = appState_.isCalibrating.get();
    recalibrate_->setText(calibrating ? "Midiendo…" : "Recalibrar (2 s de silencio)");
    recalibrate_->setEnabled(!calibrating);
    const auto pace = SettingsTexts::measuredPace(profile.measuredWPM);
    pace_->setText(pace ? qText(*pace) : QString());
    pace_->setVisible(pace.has_value());
    refreshMeter();
}

}  // namespace vorela
