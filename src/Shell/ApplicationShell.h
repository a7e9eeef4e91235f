#pragma once

#include <QCoreApplication>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/AppDelegate.h"
#include "App/AppScenes.h"
#include "App/AppState.h"
#include "App/MenuItem.h"
#include "App/PanelController.h"
#include "App/PanelControllerAdapter.h"
#include "App/Qt/QtPanelFactory.h"
#include "App/Qt/QtWindowPresenter.h"
#include "App/Qt/UnsavedChangesPrompt.h"
#include "Platform/Accessibility/Linux/DesktopAccessibilitySettings.h"
#include "Platform/Capture/Linux/X11ScreenCapture.h"
#include "Platform/Defaults/SuiteFileWatcher.h"
#include "Platform/Input/Linux/QtInput.h"
#include "Platform/Ipc/SingleInstance.h"
#include "Platform/Keys/KeyboardLayout.h"
#include "Platform/Keys/Linux/X11HotKeyRegistrar.h"
#include "Platform/Log/Log.h"
#include "Platform/LoginItem/Linux/XdgAutostartLoginItem.h"
#include "Platform/Loop/Linux/QtRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Linux/QtPasteboard.h"
#include "Platform/Power/Linux/SleepWatcher.h"
#include "Platform/Screens/Linux/QtScreens.h"
#include "Platform/Speech/Linux/GrantedSpeechAuthorization.h"
#include "Platform/Updates/Linux/NullUpdateFramework.h"
#include "Platform/Workspace/Linux/XdgOpenWorkspace.h"
#include "Script/ScriptLibrary.h"
#include "Shortcuts/Context.h"

class QApplication;

namespace vorela {

class AppMainMenu;
class CaretBlinkTimeout;
class MenuKeyEquivalents;
class TrayIcon;

// Everything that lives for the whole run, built in the order the application's start
// asks for: the central state, the library on its file, the panel controller, the seven
// global shortcuts on the X server's keys; then the windows by identifier, the tray icon
// and the watchers. Build it only once this process owns the single-instance claim: the
// library file belongs to one process. Main thread only.
class ApplicationShell {
public:
    explicit ApplicationShell(QApplication& app);
    ~ApplicationShell();
    ApplicationShell(const ApplicationShell&) = delete;
    ApplicationShell& operator=(const ApplicationShell&) = delete;
    ApplicationShell(ApplicationShell&&) = delete;
    ApplicationShell& operator=(ApplicationShell&&) = delete;

    // Launching finished: bring the application forward, then run the launch task once.
    void finishLaunching();
    // A request from this start's own arguments (isOwnStart) or from a later start.
    void handle(const InstanceMessage& message, bool isOwnStart);

private:
    void registerWindows();
    // The application's menu, shown by the tray icon and by the panel.
    std::vector<MenuItem> menuItems();
    void performMenuAction(const std::string& action, bool isOptionHeld);
    void showToUser(const std::string& text);

    Log logger_{"app"};
    QtRunLoop loop_;
    DesktopAccessibilitySettings accessibility_;
    NullUpdateFramework updates_;
    QtPasteboard pasteboard_;
    GrantedSpeechAuthorization speechAuthorization_{loop_};
    XdgOpenWorkspace workspace_;
    XdgAutostartLoginItem loginItem_{XdgAutostartLoginItem::currentProgram()};
    NotificationCenter notifications_{loop_};  // menu tracking, shortcut changes
    std::shared_ptr<NotificationCenter> workspaceCenter_ =
        std::make_shared<NotificationCenter>(loop_);  // waking from sleep

    // The one diagnostic log, handed to everything that writes or shows it.
    MatcherTelemetry& telemetry_ = MatcherTelemetry::shared();
    std::shared_ptr<AppState> state_;
    ScriptLibrary library_{false};
    QtScreens screens_;
    QtInput input_;
    X11ScreenCapture screenCapture_{loop_};
    QtPanelFactory panels_{*state_, loop_};
    PanelController panel_{{*state_, loop_, screens_, input_, panels_}};
    std::shared_ptr<PanelControllerAdapter> panelControls_ =
        std::make_shared<PanelControllerAdapter>(panel_);

    std::unique_ptr<X11HotKeyRegistrar> hotKeys_ = X11HotKeyRegistrar::attachToQtApplication();
    std::unique_ptr<KeyboardLayout> keyboard_;
    std::unique_ptr<Shortcuts::Context> shortcuts_;
    // Held here; the context holds it weakly for the recorder's check of our menus' keys.
    std::shared_ptr<AppMainMenu> mainMenu_;

    AppDelegate delegate_{state_, panelControls_};
    // Quitting writes the library first and asks before losing what it cannot write. Once
    // decided, the loop ends without asking the windows: quit() lets any window that keeps
    // itself open (the panel only ever hides) cancel it.
    UnsavedChangesPrompt quitPrompt_{library_, [] { QCoreApplication::exit(0); }};
    // After what the windows show, so that they go before it.
    QtWindowPresenter presenter_{loop_, [this] { quitPrompt_.requestQuit(); }};
    const bool hasSystemTray_;  // asked once: the launch and the tray icon agree
    AppScenes scenes_{presenter_, hasSystemTray_};
    std::unique_ptr<TrayIcon> tray_;
    SleepWatcher sleepWatcher_{workspaceCenter_};
    SuiteFileWatcher suiteWatcher_{loop_, UserDefaults::standard()};
    // The menu's own keys while one of our windows is active.
    std::unique_ptr<MenuKeyEquivalents> menuKeys_;
    std::unique_ptr<CaretBlinkTimeout> caretBlink_;
    // Last: it posts to the loop and shows through the tray or a message box.
    Subscription preferenceProblems_;
};

}  // namespace vorela
