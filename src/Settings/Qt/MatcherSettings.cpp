#include "Settings/Qt/MatcherSettings.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "Matcher/MatcherTelemetry.h"
#include "Prefs/Qt/PrefsToggle.h"
#include "Settings/MatcherParameters.h"
#include "Settings/Qt/SettingsForm.h"
#include "Settings/Qt/SliderRow.h"
#include "Settings/SettingsTexts.h"
#include "Ui/ViewKit.h"

namespace vorela {

using SettingsForm::TextStyle;
using ViewKit::qText;

namespace {

// The plain flag the diagnostic log reads before every record. Nothing is registered for
// it: a missing entry reads as off.
const Prefs::Key<bool>& debugTelemetryKey() {
    static const Prefs::Key<bool> key("debugTelemetry",
                                      Prefs::dynamicDefault([] { return false; }));
    return key;
}

}  // namespace

MatcherSettings::MatcherSettings(AppState& appState, RunLoop& loop, MatcherTelemetry& telemetry,
                                 QWidget* parent)
    : QWidget(parent), appState_(appState), telemetry_(telemetry) {
    auto* page = new QVBoxLayout(this);

    auto* state = SettingsForm::addSection(page, "Estado");
    matchState_ = SettingsForm::makeText("matchStateLabel", {}, TextStyle::body);
    state->addRow("Seguimiento", matchState_);
    currentWord_ = SettingsForm::makeText("currentWordLabel", {}, TextStyle::body);
    state->addRow("Palabra actual", currentWord_);
    measuredRate_ = SettingsForm::makeText("measuredRateLabel", {}, TextStyle::body);
    state->addRow("Ritmo medido", measuredRate_);

    auto* parameters = SettingsForm::addSection(page, "Parámetros");
    for (const MatcherParameter& parameter : kMatcherParameters) {
        auto* row = new SliderRow(parameter.objectName, parameter.minimum, parameter.maximum,
                                  "%.2f", {}, 44);
        row->setOnMoved([this, field = parameter.field](double value) {
            // Written on the main thread, so the matcher takes it at its next alignment.
            MatcherConfig config = appState_.matcher().config();
            config.*field = value;
            appState_.setMatcherConfig(config);
        });
        parameters->addRow(parameter.label, row);
        parameters_.push_back(row);
    }

    auto* log = SettingsForm::addSection(page);
    auto* toggle = new Prefs::PrefsToggle(loop, debugTelemetryKey(), "Registro local para depurar");
    toggle->setObjectName("debugTelemetryToggle");
    log->addRow(toggle);
    if (const auto path = telemetry_.fileURL()) {
        auto* location =
            SettingsForm::makeText("logPathLabel", qText(path->string()), TextStyle::caption);
        SettingsForm::makeSelectable(location);
        log->addRow(location);
    }
    auto* clear = new QPushButton("Borrar el registro");
    clear->setObjectName("clearLogButton");
    connect(clear, &QPushButton::clicked, this, [this] { telemetry_.clear(); });
    log->addRow(clear);
    page->addStretch(1);

    changes_.push_back(appState_.matchState.observe([this](const MatchState&) { refresh(); }));
    changes_.push_back(appState_.currentTokenIndex.observe([this](const long&) { refresh(); }));
    refresh();
}

void MatcherSettings::refresh() {
    matchState_->setText(QString::fromUtf8(rawValue(appState_.matchState.get())));
    currentWord_->setText(QString::number(appState_.currentTokenIndex.get()));
    const ScriptMatcher& matcher = appState_.matcher();
    measuredRate_->setText(qText(SettingsTexts::measuredRate(matcher.measuredWPM())));
    for (std::size_t i = 0; i < parameters_.size(); ++i)
        parameters_[i]->setValue(matcher.config().*kMatcherParameters[i].field);
}

}  // namespace vorela
