#include "Shell/VorelaApplication.h"

#include <signal.h>

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "App/LaunchRequest.h"
#include "Platform/Pasteboard/Linux/QtPasteboard.h"
#include "Shell/ApplicationShell.h"
#include "Shell/TerminationSignals.h"

namespace vorela {
namespace {

// A start from a link or the desktop's action has no terminal: the box is what is seen.
void tellUserAndWait(const std::string& text) {
    std::cerr << text << std::endl;
    QMessageBox box(QMessageBox::Warning, "Vorela", QString::fromStdString(text));
    box.setObjectName("laterStartMessage");
    box.exec();
}

}  // namespace

VorelaApplication::VorelaApplication(QApplication& app, std::unique_ptr<SingleInstance> instance,
                                     TellUser tellUser)
    : app_(app),
      instance_(std::move(instance)),
      tellUser_(tellUser ? std::move(tellUser) : TellUser(tellUserAndWait)) {}

VorelaApplication::~VorelaApplication() = default;

int VorelaApplication::run(const std::vector<std::string>& arguments) {
    const QtPasteboard selection(QtPasteboard::Source::selection);
    const InstanceMessage request =
        LaunchRequest::fromArguments(arguments, [&selection] { return selection.string(); });

    // Messages arrive through the event loop, so never before the shell exists.
    const InstanceRole role = instance_->claim([this](InstanceMessage message) {
        if (shell_) shell_->handle(message, false);
    });
    switch (role) {
        case InstanceRole::secondary: {
            std::optional<std::string> problem = LaunchRequest::refusal(request);
            if (!problem) {
                const auto error = instance_->handOff(request);
                if (!error) return 0;
                problem = error->description();
            }
            logger_.error(*problem);
            tellUser_(*problem);
            return 1;
        }
        case InstanceRole::failed:
            logger_.error(
                "No se pudo comprobar si Vorela ya está abierto; se sigue sin esa "
                "comprobación");
            break;
        case InstanceRole::primary:
            break;
    }

    // A logout or `kill` quits as "Salir" does, so everything is saved and let go in order.
    const TerminationSignals terminationSignals([this](int number) {
        logger_.notice(number == SIGINT ? "Interrupción recibida: Vorela se cierra"
                                        : "Señal de terminación recibida: Vorela se cierra");
        QCoreApplication::exit(0);
    });
    shell_ = std::make_unique<ApplicationShell>(app_);
    // Launching finishes once the event loop runs, as windows and the tray are shown.
    QMetaObject::invokeMethod(
        &app_,
        [this, request] {
            shell_->finishLaunching();
            shell_->handle(request, true);
        },
        Qt::QueuedConnection);
    const int status = QApplication::exec();
    shell_.reset();
    return status;
}

}  // namespace vorela
