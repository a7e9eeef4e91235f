#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <chrono>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>

#include "Platform/Ipc/SingleInstance.h"

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace vorela {

// What the primary accepts from one connection.
struct LocalSocketLimits {
    // The largest text a script may hold (that of a text file), with the kind line.
    std::size_t maxMessageBytes = (50ull << 20) + 64;
    // A sender writes its whole message at once: locally that takes well under 1 s.
    std::chrono::milliseconds idleTimeout{3000};
    std::chrono::milliseconds messageDeadline{15000};
};

// One instance per user through a lock file and a local socket in the runtime folder
// ($XDG_RUNTIME_DIR): flock() decides the primary (the kernel drops it when a process
// dies, so a crash leaves no stale owner); the primary listens on the socket, and later
// starts write one message each and disconnect. Needs a Qt event loop in the primary.
// The folder must be a real folder of ours with mode 0700 (made so when missing): one
// that another user could have made or entered is refused, claim() fails and handOff()
// delivers nothing, so no lock, socket or text ever goes through it.
//
// Any process of the user can connect, so the primary serves one connection at a time
// (the others wait in the socket's queue) and reads it in small pieces: a message past
// maxMessageBytes is dropped as soon as it gets there, a peer silent for idleTimeout or
// still sending after messageDeadline is cut off, and memory never holds more than one
// message.
class LocalSocketSingleInstance final : public QObject, public SingleInstance {
    Q_OBJECT
public:
    explicit LocalSocketSingleInstance(std::filesystem::path runtimeFolder,
                                       LocalSocketLimits limits = {});
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
    void queueConnection(int fd);
    void serveNextConnection();
    void readCurrent();
    void finishCurrent();
    void dropCurrent(const std::string& reason);
    void releaseCurrent();

    std::filesystem::path folder_;
    LocalSocketLimits limits_;
    int lockFd_ = -1;
    MessageHandler onMessage_;
    QLocalServer* server_ = nullptr;  // child of this object
    // Accepted connections not read yet, as bare descriptors: a Qt socket would start
    // reading into memory of its own at once.
    std::deque<int> waiting_;
    QLocalSocket* current_ = nullptr;  // the connection being read; child of this object
    QByteArray received_;              // what current_ sent so far
    QElapsedTimer currentAge_;
    QTimer* idleTimer_ = nullptr;  // child of this object
};

}  // namespace vorela
