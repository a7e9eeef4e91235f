#include "Platform/Ipc/Linux/LocalSocketSingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Log/Log.h"

namespace vorela {
namespace {

const Log& logger() {
    static const Log log("app");
    return log;
}

std::string baseName() { return Bundle::identifier(); }

}  // namespace

LocalSocketSingleInstance::LocalSocketSingleInstance(std::filesystem::path runtimeFolder,
                                                     std::size_t maxMessageBytes)
    : folder_(std::move(runtimeFolder)), maxMessageBytes_(maxMessageBytes) {}

LocalSocketSingleInstance::~LocalSocketSingleInstance() {
    if (server_) {
        server_->close();
        // Removed while the lock is still ours, so no new primary's socket is lost.
        std::error_code ignored;
        std::filesystem::remove(socketPath(), ignored);
    }
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::filesystem::path LocalSocketSingleInstance::defaultRuntimeFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
    return std::filesystem::temp_directory_path() / format("vorela-%u", unsigned(getuid()));
}

std::filesystem::path LocalSocketSingleInstance::socketPath() const {
    return folder_ / (baseName() + ".socket");
}

InstanceRole LocalSocketSingleInstance::claim(MessageHandler onMessage) {
    if (lockFd_ >= 0) return InstanceRole::primary;
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    // Only the user may reach the socket: it loads text into the prompter.
    ::chmod(folder_.c_str(), S_IRWXU);
    const auto lockPath = folder_ / (baseName() + ".lock");
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        logger().error("No se pudo abrir el cerrojo de instancia única: " + lockPath.string());
        return InstanceRole::failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        ::close(fd);
        if (cause == EWOULDBLOCK) return InstanceRole::secondary;
        logger().error("No se pudo tomar el cerrojo de instancia única: " + lockPath.string());
        return InstanceRole::failed;
    }
    lockFd_ = fd;
    onMessage_ = std::move(onMessage);
    const QString path = QString::fromStdString(socketPath().string());
    QLocalServer::removeServer(path);  // left by a process that died
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        logger().error("No se pudo escuchar en " + socketPath().string() + ": " +
                       server_->errorString().toStdString());
    }
    connect(server_, &QLocalServer::newConnection, this,
            &LocalSocketSingleInstance::acceptConnections);
    return InstanceRole::primary;
}

void LocalSocketSingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (static_cast<std::size_t>(buffer->size()) <= maxMessageBytes_) return;
            logger().error(
                format("Mensaje de otra instancia descartado: más de %zu bytes", maxMessageBytes_));
            buffer->clear();
            socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            socket->deleteLater();
            if (buffer->isEmpty()) return;
            auto message =
                InstanceMessage::decoded(std::string_view(buffer->constData(), buffer->size()));
            if (!message) {
                logger().error("Mensaje de otra instancia ilegible");
            } else if (onMessage_) {
                onMessage_(std::move(*message));
            }
        });
    }
}

bool LocalSocketSingleInstance::handOff(const InstanceMessage& message) {
    const QString path = QString::fromStdString(socketPath().string());
    const std::string bytes = message.encoded();
    // The primary may hold the lock a moment before it listens: try for about 2 s.
    for (int attempt = 0; attempt < 20; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(100)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
        while (socket.bytesToWrite() > 0) {
            if (!socket.waitForBytesWritten(5000)) break;
        }
        const bool isComplete = socket.bytesToWrite() == 0;
        socket.disconnectFromServer();
        if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
        if (isComplete) return true;
        break;
    }
    logger().error("No se pudo entregar el pedido a la instancia en marcha");
    return false;
}

}  // namespace vorela
