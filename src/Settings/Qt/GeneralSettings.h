#pragma once

#include <QWidget>

#include "Platform/Observation/Subscription.h"
#include "Prefs/KeyWatcher.h"
#include "Settings/LaunchAtLogin.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace vorela {

class AppState;
class LoginItem;
class PanelController;
class RunLoop;

// The "General" tab: start-up mode, panel placement and screen, start-up behaviour,
// launch at login, automatic updates, the privacy statement and the updates section.
// Every control reads its preference or its owner's state when refreshed and writes at
// once; the login-item status is read when the tab is made.
class GeneralSettings final : public QWidget {
    Q_OBJECT

public:
    GeneralSettings(AppState& appState, PanelController& panelController, RunLoop& loop,
                    LoginItem& loginItem, QWidget* parent = nullptr);

    void refresh();

private:
    void refreshScreens();
    void launchToggled(bool enabled);

    AppState& appState_;
    PanelController& panelController_;
    LaunchAtLogin launchAtLogin_;
    QComboBox* defaultModePicker_ = nullptr;
    QComboBox* panelModePicker_ = nullptr;
    QComboBox* screenPicker_ = nullptr;
    QCheckBox* launchAtLoginToggle_ = nullptr;
    QLabel* launchErrorLabel_ = nullptr;
    Prefs::KeyWatcher keys_;
    Subscription modeChanges_;
    Subscription screenChanges_;
};

}  // namespace vorela
