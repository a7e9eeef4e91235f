#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Ipc/Linux/LocalSocketSingleInstance.h"
#include "Script/ScriptLibrary.h"
#include "Shell/QtTranslations.h"
#include "Shell/VorelaApplication.h"
#include "Shell/XServer.h"

using namespace vorela;

int main(int argc, char** argv) {
    // Global keys and screen reads need X11; under Wayland the app runs on XWayland.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (XServer::isMissing(argc, argv)) {
        std::fprintf(stderr, "%s\n", XServer::missingText());
        return 1;
    }
    QApplication app(argc, argv);
    // Qt sets the desktop's locale; numbers in texts, logs and files stay "." decimal.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Vorela");
    QApplication::setOrganizationDomain("vorela.app");
    QApplication::setDesktopFileName("app.vorela.Vorela");
    installQtTranslations(app);
    // The application lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    VorelaApplication application(app, std::make_unique<LocalSocketSingleInstance>(
                                           LocalSocketSingleInstance::defaultRuntimeFolder(),
                                           ScriptLibrary::storeLocation().parent_path()));
    return application.run(std::vector<std::string>(argv + 1, argv + argc));
}
