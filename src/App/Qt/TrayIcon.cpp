#include "App/Qt/TrayIcon.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QSystemTrayIcon>

#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

TrayIcon::TrayIcon(NotificationCenter& notifications, StatusMenuRenderer::Build build,
                   StatusMenuRenderer::Perform perform)
    : menu_(std::make_unique<QMenu>()), icon_(new QSystemTrayIcon(this)) {
    menu_->setObjectName("statusMenu");
    menu_->installEventFilter(this);
    new StatusMenuRenderer(*menu_, notifications, std::move(build), std::move(perform));
    icon_->setObjectName("statusItem");
    // Trays are light on some desktops and dark on others: a mid grey reads on both.
    icon_->setIcon(ViewKit::symbolIcon("text.alignleft", Style::neutral(1)));
    icon_->setToolTip("Vorela");
    icon_->setContextMenu(menu_.get());
    // A menu-bar item opens its menu on a plain click too.
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
            });
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (watched == menu_.get() && isKey && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt)
        return true;
    return QObject::eventFilter(watched, event);
}

bool TrayIcon::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::show() { icon_->show(); }

void TrayIcon::showMessage(const std::string& text) {
    icon_->showMessage("Vorela", QString::fromStdString(text));
}

}  // namespace vorela
