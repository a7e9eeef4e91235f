#pragma once

#include <QWidget>

#include "Settings/SettingsTab.h"

class QTabWidget;

namespace vorela {

class AppState;
class LoginItem;
class MatcherTelemetry;
class PanelController;
class RunLoop;
class ScreenCapture;
class Screens;
class Workspace;
namespace Shortcuts {
class Context;
}

// The window "Preferencias": a fixed 700 x 480 tabbed window whose tabs read and write
// the preferences at once, so closing it saves nothing. Its content is made with the
// window: the login-item status is read then, and discarded with it. The matcher tab is
// shown while showsDebugTab is set, also when that changes with the window open.
class SettingsWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidthPoints = 700;
    static constexpr int kHeightPoints = 480;

    SettingsWindow(AppState& appState, PanelController& panelController, RunLoop& loop,
                   LoginItem& loginItem, MatcherTelemetry& telemetry, Screens& screens,
                   ScreenCapture& screenCapture, Shortcuts::Context& shortcuts,
                   Workspace& workspace, bool showsDebugTab, QWidget* parent = nullptr);

    void setShowsDebugTab(bool shows);
    bool showsDebugTab() const { return showsDebugTab_; }
    QTabWidget* tabs() const { return tabs_; }

private:
    // Inserts a tab where its kind stands in the order, whichever tabs are present.
    void addTab(SettingsTab tab, QWidget* content);
    int indexOf(SettingsTab tab) const;

    AppState& appState_;
    RunLoop& loop_;
    MatcherTelemetry& telemetry_;
    bool showsDebugTab_ = false;
    QTabWidget* tabs_ = nullptr;
};

}  // namespace vorela
