#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <memory>

#include "App/AppState.h"
#include "Platform/Accessibility/Linux/DesktopAccessibilitySettings.h"
#include "Platform/Audio/Linux/PortAudioEngine.h"
#include "Platform/Input/Linux/QtInput.h"
#include "Platform/Loop/Linux/QtRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Linux/QtPasteboard.h"
#include "Platform/Screens/Linux/QtScreens.h"
#include "Platform/Time/Clock.h"
#include "Platform/Updates/Linux/NullUpdateFramework.h"
#include "Window/PanelController.h"
#include "Window/Qt/QtPanelFactory.h"

using namespace vorela;

int main(int argc, char** argv) {
    // Global keys and screen reads need X11; under Wayland the app runs on XWayland.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    // Qt sets the desktop's locale; numbers in texts, logs and files stay "." decimal.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Vorela");
    QApplication::setOrganizationDomain("vorela.app");
    QApplication::setDesktopFileName("app.vorela.Vorela");
    QApplication::setQuitOnLastWindowClosed(false);

    // Until the application shell lands: the central state with the sample script, shown
    // in the panel under the top edge of the screen.
    QtRunLoop loop(&app, SystemClock::shared());
    DesktopAccessibilitySettings accessibility;
    NullUpdateFramework updates;
    QtPasteboard pasteboard;
    AppState state(AppServices{
        .runLoop = loop,
        .accessibility = accessibility,
        .audioEngine = std::make_shared<PortAudioEngine>(loop),
        .workspaceCenter = std::make_shared<NotificationCenter>(loop),
        .updateFramework = updates,
        .pasteboard = pasteboard,
        .makeTranscriptionEngine = [] { return nullptr; },
    });
    QtScreens screens;
    QtInput input;
    QtPanelFactory panels(state, loop);
    PanelController panel({state, loop, screens, input, panels});
    panel.show();
    return QApplication::exec();
}
