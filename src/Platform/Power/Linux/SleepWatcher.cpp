#include "Platform/Power/Linux/SleepWatcher.h"

#include <QDBusConnection>
#include <QDBusError>

namespace vorela {

namespace {
const QString kLoginService = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kPrepareForSleep = QStringLiteral("PrepareForSleep");
}  // namespace

SleepWatcher::SleepWatcher(std::shared_ptr<NotificationCenter> center, QObject* parent)
    : QObject(parent), center_(std::move(center)) {
    listen(QDBusConnection::systemBus(), kLoginService);
}

SleepWatcher::SleepWatcher(std::shared_ptr<NotificationCenter> center, const QDBusConnection& bus,
                           const QString& loginService, QObject* parent)
    : QObject(parent), center_(std::move(center)) {
    listen(bus, loginService);
}

SleepWatcher::~SleepWatcher() = default;

void SleepWatcher::listen(const QDBusConnection& bus, const QString& loginService) {
    if (!bus.isConnected()) {
        logger_.notice("Sin bus del sistema: no se detecta el regreso de la suspensión.");
        return;
    }
    QDBusConnection connection(bus);
    listening_ = connection.connect(loginService, kLoginPath, kLoginInterface, kPrepareForSleep,
                                    this, SLOT(prepareForSleep(bool)));
    if (!listening_) {
        logger_.notice("No se pudo escuchar la suspensión del sistema: " +
                       connection.lastError().message().toStdString());
    }
}

void SleepWatcher::prepareForSleep(bool goingToSleep) {
    if (!goingToSleep && center_) center_->post(kWorkspaceDidWakeNotification);
}

}  // namespace vorela
