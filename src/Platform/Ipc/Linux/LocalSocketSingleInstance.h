#pragma once

#include <QObject>
#include <cstddef>
#include <filesystem>
#include <memory>

#include "Platform/Ipc/SingleInstance.h"

class QLocalServer;

namespace vorela {

// One instance per user through a lock file and a local socket in the runtime folder
// ($XDG_RUNTIME_DIR): flock() decides the primary (the kernel drops it when a process
// dies, so a crash leaves no stale owner); the primary listens on the socket, and later
// starts write one message each and disconnect. Needs a Qt event loop in the primary.
// The folder must be a real folder of ours with mode 0700 (made so when missing): one
// that another user could have made or entered is refused, claim() fails and handOff()
// delivers nothing, so no lock, socket or text ever goes through it.
class LocalSocketSingleInstance final : public QObject, public SingleInstance {
    Q_OBJECT
public:
    // A message longer than this is dropped unread (logged).
    static constexpr std::size_t kDefaultMaxMessageBytes = 160ull << 20;

    explicit LocalSocketSingleInstance(std::filesystem::path runtimeFolder,
                                       std::size_t maxMessageBytes = kDefaultMaxMessageBytes);
    ~LocalSocketSingleInstance() override;
    LocalSocketSingleInstance(const LocalSocketSingleInstance&) = delete;
    LocalSocketSingleInstance& operator=(const LocalSocketSingleInstance&) = delete;
    LocalSocketSingleInstance(LocalSocketSingleInstance&&) = delete;
    LocalSocketSingleInstance& operator=(LocalSocketSingleInstance&&) = delete;

    // $XDG_RUNTIME_DIR, else a private folder of ours under the temporary folder.
    static std::filesystem::path defaultRuntimeFolder();

    InstanceRole claim(MessageHandler onMessage) override;
    bool handOff(const InstanceMessage& message) override;

    std::filesystem::path socketPath() const;

private:
    void acceptConnections();

    std::filesystem::path folder_;
    std::size_t maxMessageBytes_ = kDefaultMaxMessageBytes;
    int lockFd_ = -1;
    MessageHandler onMessage_;
    QLocalServer* server_ = nullptr;  // child of this object
};

}  // namespace vorela
