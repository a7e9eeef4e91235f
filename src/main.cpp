#include <QApplication>
#include <clocale>
#include <cstdlib>

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
    return QApplication::exec();
}
