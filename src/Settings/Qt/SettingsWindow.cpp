#include "Settings/Qt/SettingsWindow.h"

#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Platform/Foundation/SystemVersion.h"
#include "Platform/Workspace/Workspace.h"
#include "Settings/Qt/AppearanceSettings.h"
#include "Settings/Qt/DiscretionTab.h"
#include "Settings/Qt/GeneralSettings.h"
#include "Settings/Qt/MatcherSettings.h"
#include "Settings/Qt/ShortcutSettings.h"
#include "Settings/Qt/VoiceSettings.h"
#include "Settings/StealthChecker.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {

// Stored on each tab page so the order survives insertions and removals.
constexpr const char* kTabProperty = "settingsTab";

}  // namespace

SettingsWindow::SettingsWindow(AppState& appState, PanelController& panelController, RunLoop& loop,
                               LoginItem& loginItem, MatcherTelemetry& telemetry, Screens& screens,
                               ScreenCapture& screenCapture, Shortcuts::Context& shortcuts,
                               Workspace& workspace, bool showsDebugTab, QWidget* parent)
    : QWidget(parent, Qt::Window), appState_(appState), loop_(loop), telemetry_(telemetry) {
    setObjectName("settingsWindow");
    setWindowTitle("Preferencias");
    setFixedSize(kWidthPoints, kHeightPoints);
    QPalette tinted = palette();
    tinted.setColor(QPalette::Highlight, Style::accent());
    setPalette(tinted);

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    tabs_->setObjectName("settingsTabs");
    layout->addWidget(tabs_);
    addTab(SettingsTab::general, new GeneralSettings(appState, panelController, loop, loginItem));
    addTab(SettingsTab::appearance, new AppearanceSettings(appState, panelController, loop));
    addTab(SettingsTab::voice, new VoiceSettings(appState, loop));
    addTab(SettingsTab::shortcuts, new ShortcutSettings(shortcuts, workspace.isWaylandSession()));
    addTab(SettingsTab::discretion,
           new DiscretionTab(appState, panelController, screens, workspace,
                             std::make_unique<StealthChecker>(StealthChecker::Services{
                                 loop, screenCapture, currentSystemVersion()})));
    setShowsDebugTab(showsDebugTab);
    tabs_->setCurrentIndex(0);
}

void SettingsWindow::setShowsDebugTab(bool shows) {
    showsDebugTab_ = shows;
    const int index = indexOf(SettingsTab::matcher);
    if (shows && index < 0) {
        addTab(SettingsTab::matcher, new MatcherSettings(appState_, loop_, telemetry_));
    } else if (!shows && index >= 0) {
        QWidget* page = tabs_->widget(index);
        tabs_->removeTab(index);
        delete page;
    }
}

void SettingsWindow::addTab(SettingsTab tab, QWidget* content) {
    content->setObjectName(QString::fromUtf8(tabObjectName(tab)));
    content->setProperty(kTabProperty, static_cast<int>(tab));
    int at = 0;
    while (at < tabs_->count() &&
           tabs_->widget(at)->property(kTabProperty).toInt() < static_cast<int>(tab))
        ++at;
    tabs_->insertTab(at, content,
                     ViewKit::symbolIcon(tabSymbol(tab), palette().color(QPalette::WindowText)),
                     QString::fromUtf8(tabLabel(tab)));
}

int SettingsWindow::indexOf(SettingsTab tab) const {
    for (int i = 0; i < tabs_->count(); ++i) {
        if (tabs_->widget(i)->property(kTabProperty).toInt() == static_cast<int>(tab)) return i;
    }
    return -1;
}

}  // namespace vorela
