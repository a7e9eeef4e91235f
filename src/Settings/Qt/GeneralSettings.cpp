#include "Settings/Qt/GeneralSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "App/PanelController.h"
#include "Platform/Updates/Updater.h"
#include "Prefs/Prefs.h"
#include "Prefs/Qt/PrefsToggle.h"
#include "Settings/Qt/SettingsForm.h"
#include "Ui/ViewKit.h"
#include "Window/PanelPlacement.h"

namespace vorela {

using SettingsForm::TextStyle;
using ViewKit::qText;

GeneralSettings::GeneralSettings(AppState& appState, PanelController& panelController,
                                 RunLoop& loop, LoginItem& loginItem, QWidget* parent)
    : QWidget(parent),
      appState_(appState),
      panelController_(panelController),
      launchAtLogin_(loginItem),
      keys_(loop) {
    auto* page = new QVBoxLayout(this);

    defaultModePicker_ =
        SettingsForm::makePicker("defaultModePicker", SettingsForm::choicesOf(kAllPrompterModes));
    connect(defaultModePicker_, &QComboBox::currentIndexChanged, this, [this] {
        if (auto mode = SettingsForm::chosen<PrompterMode>(defaultModePicker_))
            Prefs::set(Prefs::Keys::defaultMode(), *mode);
    });
    panelModePicker_ =
        SettingsForm::makePicker("panelModePicker", SettingsForm::choicesOf(kAllPanelModes));
    connect(panelModePicker_, &QComboBox::currentIndexChanged, this, [this] {
        if (auto mode = SettingsForm::chosen<PanelMode>(panelModePicker_))
            panelController_.setMode(*mode);
    });

    screenPicker_ = SettingsForm::makePicker("screenPicker", {});
    connect(screenPicker_, &QComboBox::activated, this, [this](int index) {
        panelController_.moveToScreen(screenPicker_->itemData(index).toString().toStdString());
    });

    auto* first = SettingsForm::addSection(page);
    first->addRow("Modo al abrir", defaultModePicker_);
    first->addRow("Posición del panel", panelModePicker_);
    first->addRow("Pantalla", screenPicker_);

    auto* second = SettingsForm::addSection(page);
    auto* openMain = new Prefs::PrefsToggle(loop, Prefs::Keys::openMainWindowAtLaunch(),
                                            "Abrir la ventana principal al iniciar");
    openMain->setObjectName("openMainWindowToggle");
    second->addRow(openMain);
    launchAtLoginToggle_ = new QCheckBox("Abrir al iniciar sesión");
    launchAtLoginToggle_->setObjectName("launchAtLoginToggle");
    connect(launchAtLoginToggle_, &QCheckBox::toggled, this, &GeneralSettings::launchToggled);
    second->addRow(launchAtLoginToggle_);
    launchErrorLabel_ = SettingsForm::makeText("launchErrorLabel", {}, TextStyle::warning);
    second->addRow(launchErrorLabel_);
    auto* automatic = new Prefs::PrefsToggle(loop, Prefs::Keys::automaticUpdates(),
                                             "Buscar actualizaciones automáticamente");
    automatic->setObjectName("automaticUpdatesToggle");
    second->addRow(automatic);

    auto* third = SettingsForm::addSection(page);
    third->addRow("Privacidad", SettingsForm::makeText("privacyText",
                                                       "Todo el reconocimiento de voz ocurre en "
                                                       "tu equipo. La app no envía audio, texto "
                                                       "ni estadísticas a ningún servidor.",
                                                       TextStyle::callout));

    auto* updates = SettingsForm::addSection(page, "Actualizaciones");
    auto* version = new QLabel(qText(UpdateController::versionDescription()));
    version->setObjectName("versionLabel");
    updates->addRow("Versión", version);
    auto* check = new QPushButton("Buscar actualizaciones ahora");
    check->setObjectName("checkForUpdatesButton");
    // Judged once, when the tab is built.
    Updater* updater = appState_.updates().updaterController();
    check->setEnabled(updater && updater->canCheckForUpdates());
    connect(check, &QPushButton::clicked, this, [this] {
        if (Updater* current = appState_.updates().updaterController()) current->checkForUpdates();
    });
    updates->addRow(check);
    if (!appState_.updates().isConfigured()) {
        updates->addRow(SettingsForm::makeText(
            "updatesChannelCaption", "Este build no tiene configurado el canal de actualizaciones.",
            TextStyle::caption));
    }
    page->addStretch(1);

    keys_.watch(Prefs::Keys::defaultMode(), [this] { refresh(); });
    keys_.watch(Prefs::Keys::preferredScreen(), [this] { refresh(); });
    modeChanges_ = panelController_.mode.observe([this](const PanelMode&) { refresh(); });
    screenChanges_ = panelController_.observeAvailableScreens([this] { refreshScreens(); });
    refreshScreens();
}

void GeneralSettings::refreshScreens() {
    {
        const QSignalBlocker blocker(screenPicker_);
        screenPicker_->clear();
        screenPicker_->addItem("Automática", QString());
        for (const auto& screen : panelController_.availableScreens())
            screenPicker_->addItem(qText(screen.name), qText(screen.id));
    }
    refresh();
}

void GeneralSettings::refresh() {
    SettingsForm::selectTag(defaultModePicker_,
                            SettingsForm::tagOf(Prefs::get(Prefs::Keys::defaultMode())));
    SettingsForm::selectTag(panelModePicker_, SettingsForm::tagOf(panelController_.mode.get()));
    const auto screen = Prefs::get(Prefs::Keys::preferredScreen()).value_or("");
    SettingsForm::selectTag(screenPicker_, qText(screen));
    {
        const QSignalBlocker blocker(launchAtLoginToggle_);
        launchAtLoginToggle_->setChecked(launchAtLogin_.launchAtLogin());
    }
    const auto& error = launchAtLogin_.launchError();
    launchErrorLabel_->setText(error ? qText(*error) : QString());
    launchErrorLabel_->setVisible(error.has_value());
}

void GeneralSettings::launchToggled(bool enabled) {
    launchAtLogin_.setLaunchAtLogin(enabled);
    refresh();
}

}  // namespace vorela
