#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Power/Linux/SleepWatcher.h"

namespace vorela {
namespace {

// A message bus of our own, so the test needs no system bus and no logind.
class PrivateBus {
public:
    bool start() {
        FILE* out =
            popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!out) return false;
        char line[512] = {};
        if (std::fgets(line, sizeof line, out))
            address_ = std::string(line, std::strcspn(line, "\n"));
        if (std::fgets(line, sizeof line, out)) pid_ = std::atoi(line);
        pclose(out);
        return !address_.empty() && pid_ > 0;
    }
    ~PrivateBus() {
        if (pid_ > 0) kill(pid_, SIGTERM);
    }
    const std::string& address() const { return address_; }

    // Emits logind's PrepareForSleep with the given argument from another client.
    bool announceSleep(bool goingToSleep) const {
        const std::string command = "dbus-send --bus='" + address_ +
                                    "' --type=signal /org/freedesktop/login1 "
                                    "org.freedesktop.login1.Manager.PrepareForSleep boolean:" +
                                    (goingToSleep ? "true" : "false");
        return std::system(command.c_str()) == 0;
    }

private:
    std::string address_;
    pid_t pid_ = 0;
};

TEST(SleepWatcherTest, ResumingFromSuspendPostsTheWakeNotificationAndGoingToSleepDoesNot) {
    if (access("/usr/bin/dbus-daemon", X_OK) != 0 || access("/usr/bin/dbus-send", X_OK) != 0) {
        GTEST_SKIP() << "dbus-daemon and dbus-send are not installed";
    }
    PrivateBus bus;
    ASSERT_TRUE(bus.start()) << "a private message bus could not start";
    int argc = 1;
    char name[] = "vorela_linux_tests";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);

    ManualRunLoop loop;
    auto center = std::make_shared<NotificationCenter>(loop);
    int wakes = 0;
    auto sub =
        center->observe(kWorkspaceDidWakeNotification, [&](const Notification&) { ++wakes; });
    const QString connectionName = QStringLiteral("vorela-sleep-watcher-test");
    {
        QDBusConnection connection =
            QDBusConnection::connectToBus(QString::fromStdString(bus.address()), connectionName);
        ASSERT_TRUE(connection.isConnected());
        SleepWatcher watcher(center, connection, QString());
        ASSERT_TRUE(watcher.isListening());

        ASSERT_TRUE(bus.announceSleep(false));
        ASSERT_TRUE(bus.announceSleep(true));
        // A round trip to the bus returns only after both signals, which the bus sends
        // first, have reached this connection; processing events then delivers them.
        const QDBusMessage reply = connection.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
        QDeadlineTimer deadline(5000);
        while (wakes == 0 && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(wakes, 1);
    }
    QDBusConnection::disconnectFromBus(connectionName);
}

}  // namespace
}  // namespace vorela
