#include "Shell/ApplicationShell.h"

#include <QApplication>
#include <QMessageBox>

#include "App/AppMainMenu.h"
#include "App/GlobalShortcuts.h"
#include "App/LaunchRequest.h"
#include "App/Qt/MainWindow.h"
#include "App/Qt/TrayIcon.h"
#include "App/StatusMenu.h"
#include "Onboarding/Qt/OnboardingWindow.h"
#include "Platform/Audio/Linux/PortAudioEngine.h"
#include "Platform/Keys/DesktopKeyBindings.h"
#include "Platform/Keys/Linux/XkbKeyboardLayout.h"
#include "Platform/Time/Clock.h"
#include "Settings/Qt/AboutWindow.h"
#include "Settings/Qt/SettingsWindow.h"
#include "Settings/Qt/VoiceDebugWindow.h"
#include "Shell/CaretBlinkTimeout.h"
#include "Shell/MenuKeyEquivalents.h"
#include "Voice/Linux/SystemTranscriptionEngine.h"

namespace vorela {
namespace {

// A keyboard that names no key, for a machine where XKB cannot be read at all: shortcuts
// then show key codes, and the repeat timing is X's default.
class UnknownKeyboardLayout final : public KeyboardLayout {
public:
    std::optional<std::string> textForKey(std::uint16_t) const override { return std::nullopt; }
    std::optional<int> carbonKeyCodeForScanCode(std::uint32_t) const override {
        return std::nullopt;
    }
    double keyRepeatDelay() const override { return 0.66; }
    double keyRepeatInterval() const override { return 0.04; }
};

std::unique_ptr<KeyboardLayout> connectKeyboard(const Log& logger) {
    if (auto server = XkbKeyboardLayout::connect()) return server;
    logger.notice("No se pudo leer el teclado del servidor X; se usa la distribución por defecto");
    if (auto named = XkbKeyboardLayout::fromNames("")) return named;
    logger.error("No hay distribución de teclado disponible");
    return std::make_unique<UnknownKeyboardLayout>();
}

}  // namespace

ApplicationShell::ApplicationShell(QApplication& app)
    : loop_(&app, SystemClock::shared()),
      state_(std::make_shared<AppState>(AppServices{
          .runLoop = loop_,
          .accessibility = accessibility_,
          .audioEngine = std::make_shared<PortAudioEngine>(loop_),
          .workspaceCenter = workspaceCenter_,
          .updateFramework = updates_,
          .pasteboard = pasteboard_,
          .makeTranscriptionEngine = makeSystemTranscriptionEngine(loop_, telemetry_),
          .telemetry = telemetry_,
      })),
      keyboard_(connectKeyboard(logger_)),
      hasSystemTray_(TrayIcon::isAvailable()) {
    if (library_.loadError()) logger_.error("Biblioteca: " + *library_.loadError());

    // The shortcuts work before launching finishes, whatever window opens.
    shortcuts_ = std::make_unique<Shortcuts::Context>(Shortcuts::Context::Environment{
        loop_, UserDefaults::standard(), notifications_, *hotKeys_, *keyboard_});
    shortcuts_->makeCurrent();
    GlobalShortcuts::registerShortcuts(*shortcuts_, state_, panelControls_);
    mainMenu_ = std::make_shared<AppMainMenu>([this] { return menuItems(); });
    shortcuts_->setMainMenu(mainMenu_);

    registerWindows();
    panels_.setMenu([this] { return menuItems(); },
                    [this](const std::string& action, bool isOptionHeld) {
                        performMenuAction(action, isOptionHeld);
                    });
    caretBlink_ = std::make_unique<CaretBlinkTimeout>(app, loop_);
    menuKeys_ = std::make_unique<MenuKeyEquivalents>(
        app, *shortcuts_, [this] { return menuItems(); },
        [this](const std::string& action) { performMenuAction(action, false); });
    if (hasSystemTray_) {
        tray_ = std::make_unique<TrayIcon>(
            notifications_, [this] { return menuItems(); },
            [this](const std::string& action, bool isOptionHeld) {
                performMenuAction(action, isOptionHeld);
            });
        tray_->show();
    } else {
        logger_.notice("No hay bandeja del sistema: la ventana principal se abre en cada inicio");
    }
    // A damaged preference file or a folder that refuses writes: the user hears it once.
    preferenceProblems_ = UserDefaults::standard()->observeProblems(
        [this](const std::string& text) { loop_.post([this, text] { showToUser(text); }); });
}

ApplicationShell::~ApplicationShell() = default;

std::vector<MenuItem> ApplicationShell::menuItems() {
    StatusMenu::Inputs inputs = StatusMenu::readInputs(*state_, *panelControls_);
    if (const auto key = shortcuts_->workingShortcut(GlobalShortcuts::togglePanel())) {
        inputs.togglePanelKey = key->toDeclarativeKeyboardShortcut(&shortcuts_->keyboardLayout());
    }
    return StatusMenu::build(inputs);
}

void ApplicationShell::performMenuAction(const std::string& action, bool isOptionHeld) {
    StatusMenu::perform(
        {
            .state = *state_,
            .panel = *panelControls_,
            .scenes = scenes_,
            .calibrate =
                [weak = std::weak_ptr(state_)] {
                    if (auto state = weak.lock()) state->calibrateNoiseFloor(2, [](const auto&) {});
                },
            .openUrl = [this](const std::string& url) { return workspace_.openURL(url); },
            .tellUser = [this](const std::string& text) { showToUser(text); },
        },
        action, isOptionHeld);
}

void ApplicationShell::registerWindows() {
    const auto openById = [this](const std::string& identifier) {
        if (const auto id = windowIdFrom(identifier)) scenes_.openWindow(*id);
    };
    presenter_.registerWindow(WindowId::main, [this, openById](const auto&) {
        return std::make_unique<MainWindow>(
            MainWindow::Services{*state_, *panelControls_, library_, pasteboard_, openById});
    });
    presenter_.registerWindow(WindowId::onboarding, [this](const auto&) {
        return std::make_unique<OnboardingWindow>(
            *state_, *panelControls_,
            OnboardingServices{speechAuthorization_, pasteboard_,
                               [this](const std::string& url) { return workspace_.openURL(url); }},
            loop_, accessibility_, [this] { scenes_.finishOnboarding(); });
    });
    presenter_.registerWindow(
        WindowId::settings,
        [this](const QtWindowPresenter::Opening& opening) {
            return std::make_unique<SettingsWindow>(*state_, panel_, loop_, loginItem_, telemetry_,
                                                    screens_, screenCapture_, *shortcuts_,
                                                    workspace_, opening.showsDebugTab);
        },
        [](QWidget& window, const QtWindowPresenter::Opening& opening) {
            static_cast<SettingsWindow&>(window).setShowsDebugTab(opening.showsDebugTab);
        });
    presenter_.registerWindow(
        WindowId::about, [this](const auto&) { return std::make_unique<AboutWindow>(workspace_); });
    presenter_.registerWindow(WindowId::voiceDebug, [this](const auto&) {
        return std::make_unique<VoiceDebugWindow>(*state_, loop_);
    });
}

void ApplicationShell::finishLaunching() {
    presenter_.activateForWindow();
    // Floating windows cannot be kept out of screen captures on X11: say so once.
    logger_.notice(
        "X11 no permite excluir ventanas de las capturas de pantalla: las ventanas flotantes y "
        "el panel pueden aparecer en ellas");
    scenes_.runLaunchTask();
    if (const auto& notice = library_.unsavedTextNotice()) showToUser(*notice);
}

void ApplicationShell::handle(const InstanceMessage& message, bool isOwnStart) {
    // A plain start decides its windows in the launch task; a later one asks to be seen.
    if (isOwnStart && message.kind == InstanceMessage::Kind::activate) return;
    if (const auto text = LaunchRequest::handle(message, delegate_, scenes_)) showToUser(*text);
}

void ApplicationShell::showToUser(const std::string& text) {
    if (tray_) {
        tray_->showMessage(text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, "Vorela", QString::fromStdString(text));
    box->setObjectName("userMessage");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

}  // namespace vorela
