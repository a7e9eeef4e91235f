#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "Platform/Audio/AudioEngine.h"
#include "Platform/Log/Log.h"
#include "Platform/Observation/NotificationCenter.h"

class QDBusConnection;

namespace vorela {

// Posts kWorkspaceDidWakeNotification on the given centre each time the machine resumes
// from suspend, as logind announces with PrepareForSleep(false) on the system bus.
// Where no such bus can be reached it logs once and stays silent. Lives on the Qt main
// thread; the notification is posted from there.
class SleepWatcher final : public QObject {
    Q_OBJECT

public:
    explicit SleepWatcher(std::shared_ptr<NotificationCenter> center, QObject* parent = nullptr);
    // Listens on another bus, and to any sender when loginService is empty (for tests).
    SleepWatcher(std::shared_ptr<NotificationCenter> center, const QDBusConnection& bus,
                 const QString& loginService, QObject* parent = nullptr);
    ~SleepWatcher() override;
    SleepWatcher(const SleepWatcher&) = delete;
    SleepWatcher& operator=(const SleepWatcher&) = delete;
    SleepWatcher(SleepWatcher&&) = delete;
    SleepWatcher& operator=(SleepWatcher&&) = delete;

    bool isListening() const { return listening_; }

private Q_SLOTS:
    void prepareForSleep(bool goingToSleep);

private:
    void listen(const QDBusConnection& bus, const QString& loginService);

    std::shared_ptr<NotificationCenter> center_;
    Log logger_{"audio"};
    bool listening_ = false;
};

}  // namespace vorela
