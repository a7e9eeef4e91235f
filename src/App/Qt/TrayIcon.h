#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "App/Qt/StatusMenuRenderer.h"

class QMenu;
class QSystemTrayIcon;

namespace vorela {

// The application's icon in the desktop's tray, with the tray menu: built afresh from the
// model each time it opens, and opened by either mouse button. Needs a tray host
// (isAvailable); without one the application reaches the user through its main window.
// Alt held while choosing "Preferencias…" asks for the matcher tab, so pressing Alt
// leaves the menu open (Qt's menus close on it).
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    TrayIcon(NotificationCenter& notifications, StatusMenuRenderer::Build build,
             StatusMenuRenderer::Perform perform);
    ~TrayIcon() override;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    TrayIcon(TrayIcon&&) = delete;
    TrayIcon& operator=(TrayIcon&&) = delete;

    static bool isAvailable();

    void show();
    // A short message from the application, shown as a balloon of the icon.
    void showMessage(const std::string& text);
    QMenu& menu() { return *menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* icon_ = nullptr;  // child of this object
};

}  // namespace vorela
