#include "App/Qt/TrayIcon.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

#include "App/Qt/ViewKit.h"

namespace vorela {

TrayIcon::TrayIcon(NotificationCenter& notifications, StatusMenuRenderer::Build build,
                   StatusMenuRenderer::Perform perform)
    : menu_(std::make_unique<QMenu>()), icon_(new QSystemTrayIcon(this)) {
    menu_->setObjectName("statusMenu");
    new StatusMenuRenderer(*menu_, notifications, std::move(build), std::move(perform));
    icon_->setObjectName("statusItem");
    // Trays are light on some desktops and dark on others: a mid grey reads on both.
    icon_->setIcon(ViewKit::symbolIcon("text.alignleft", QColor(0x80, 0x80, 0x80)));
    icon_->setToolTip("Vorela");
    icon_->setContextMenu(menu_.get());
    // A menu-bar item opens its menu on a plain click too.
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
            });
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::show() { icon_->show(); }

void TrayIcon::showMessage(const std::string& text) {
    icon_->showMessage("Vorela", QString::fromStdString(text));
}

}  // namespace vorela
