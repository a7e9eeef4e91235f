#pragma once

#include <QObject>
#include <filesystem>

#include "Platform/Ipc/Linux/FileLock.h"
#include "Platform/Ipc/Linux/HandOffReceiver.h"
#include "Platform/Ipc/SingleInstance.h"

class QLocalServer;

namespace vorela {

// One instance per user and library, through two locks and a local socket. flock() on a
// file in the runtime folder ($XDG_RUNTIME_DIR) decides who hears later starts: the
// primary listens on the socket beside it, and later starts hand it one message each
// (HandOffReceiver says how, and how the primary stands up to misbehaving peers). flock()
// on a file in the data folder keeps the library to one process, even when the runtime
// folder cannot be used. The kernel drops both when a process dies, so a crash leaves no
// stale owner. Needs a Qt event loop in the primary.
//
// The runtime folder must be a real folder of ours with mode 0700 (made so when missing):
// one that another user could have made or entered is refused, and no lock, socket or
// text ever goes through it. The primary then runs without the socket, still alone on its
// library, and a later start finds the library taken and cannot hand anything over.
class LocalSocketSingleInstance final : public QObject, public SingleInstance {
    Q_OBJECT
public:
    LocalSocketSingleInstance(std::filesystem::path runtimeFolder, std::filesystem::path dataFolder,
                              LocalSocketLimits limits = {});
    ~LocalSocketSingleInstance() override;
    LocalSocketSingleInstance(const LocalSocketSingleInstance&) = delete;
    LocalSocketSingleInstance& operator=(const LocalSocketSingleInstance&) = delete;
    LocalSocketSingleInstance(LocalSocketSingleInstance&&) = delete;
    LocalSocketSingleInstance& operator=(LocalSocketSingleInstance&&) = delete;

    // $XDG_RUNTIME_DIR, else a private folder of ours under the temporary folder.
    static std::filesystem::path defaultRuntimeFolder();

    InstanceRole claim(MessageHandler onMessage) override;
    std::optional<HandOffError> handOff(const InstanceMessage& message) override;

    std::filesystem::path socketPath() const;

private:
    void listen(MessageHandler onMessage);

    std::filesystem::path folder_;
    std::filesystem::path dataFolder_;
    LocalSocketLimits limits_;
    FileLock runtimeLock_;
    FileLock dataLock_;                    // after the runtime lock: let go of first
    QLocalServer* server_ = nullptr;       // child of this object
    HandOffReceiver* receiver_ = nullptr;  // child of this object
};

}  // namespace vorela
