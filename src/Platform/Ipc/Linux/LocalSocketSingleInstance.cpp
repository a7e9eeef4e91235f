#include "Platform/Ipc/Linux/LocalSocketSingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <utility>

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

// Read a connection in pieces this size, so only the message itself grows in memory.
constexpr qint64 kReadChunkBytes = 64 * 1024;
// Later starts come one or two at a time; more waiting than this is someone else's doing.
constexpr std::size_t kMaxWaitingConnections = 32;

// Hands each accepted connection over as a bare descriptor, before anything reads it.
class DescriptorServer final : public QLocalServer {
public:
    DescriptorServer(QObject* parent, std::function<void(int)> onIncoming)
        : QLocalServer(parent), onIncoming_(std::move(onIncoming)) {}

protected:
    void incomingConnection(quintptr descriptor) override {
        onIncoming_(static_cast<int>(descriptor));
    }

private:
    std::function<void(int)> onIncoming_;
};

// Whoever owns the folder holds the lock and hears the socket, and so receives the text
// and links handed over: it must be a real folder of ours that nobody else can enter.
// Empty when it is, else why not.
std::string privateFolderRefusal(const std::filesystem::path& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return format("no se pudo leer (%s)", std::strerror(errno));
    if (S_ISLNK(st.st_mode)) return "es un enlace simbólico";
    if (!S_ISDIR(st.st_mode)) return "no es una carpeta";
    if (st.st_uid != ::geteuid())
        return format("pertenece a otro usuario (%u)", unsigned(st.st_uid));
    if ((st.st_mode & 07777) != S_IRWXU) {
        return format("tiene permisos %04o en lugar de 0700", unsigned(st.st_mode & 07777));
    }
    return {};
}

// Created 0700 when missing; an existing folder is taken only as it is.
std::string claimPrivateFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    if (::mkdir(folder.c_str(), S_IRWXU) == 0) {
        ::chmod(folder.c_str(), S_IRWXU);  // the umask may have taken bits off, never added
    } else if (errno != EEXIST) {
        return format("no se pudo crear (%s)", std::strerror(errno));
    }
    return privateFolderRefusal(folder);
}

void logRefusal(const std::filesystem::path& folder, const std::string& refusal) {
    logger().error("La carpeta de instancia única «" + folder.string() + "» " + refusal +
                   "; Vorela no la usa ni entrega nada a través de ella");
}

}  // namespace

LocalSocketSingleInstance::LocalSocketSingleInstance(std::filesystem::path runtimeFolder,
                                                     LocalSocketLimits limits)
    : folder_(std::move(runtimeFolder)), limits_(limits), idleTimer_(new QTimer(this)) {
    idleTimer_->setSingleShot(true);
    connect(idleTimer_, &QTimer::timeout, this,
            [this] { dropCurrent("Conexión de otra instancia cerrada: no envió nada a tiempo"); });
}

LocalSocketSingleInstance::~LocalSocketSingleInstance() {
    for (const int fd : waiting_) ::close(fd);
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
    if (const std::string refusal = claimPrivateFolder(folder_); !refusal.empty()) {
        logRefusal(folder_, refusal);
        return InstanceRole::failed;
    }
    const auto lockPath = folder_ / (baseName() + ".lock");
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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
    server_ = new DescriptorServer(this, [this](int fd) { queueConnection(fd); });
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        logger().error("No se pudo escuchar en " + socketPath().string() + ": " +
                       server_->errorString().toStdString());
    }
    return InstanceRole::primary;
}

void LocalSocketSingleInstance::queueConnection(int fd) {
    if (waiting_.size() >= kMaxWaitingConnections) {
        ::close(fd);
        logger().error("Conexión de otra instancia rechazada: demasiadas en espera");
        return;
    }
    waiting_.push_back(fd);
    serveNextConnection();
}

void LocalSocketSingleInstance::serveNextConnection() {
    if (current_ || waiting_.empty()) return;
    const int fd = waiting_.front();
    waiting_.pop_front();
    current_ = new QLocalSocket(this);
    // Qt would otherwise buffer whatever the peer sends, however much.
    current_->setReadBufferSize(kReadChunkBytes);
    if (!current_->setSocketDescriptor(fd)) {
        ::close(fd);
        releaseCurrent();
        serveNextConnection();
        return;
    }
    currentAge_.start();
    idleTimer_->start(limits_.idleTimeout);
    connect(current_, &QLocalSocket::readyRead, this, &LocalSocketSingleInstance::readCurrent);
    connect(current_, &QLocalSocket::disconnected, this, &LocalSocketSingleInstance::finishCurrent);
    // Data may have arrived, or the peer gone, before the signals were connected.
    readCurrent();
    if (current_ && current_->state() != QLocalSocket::ConnectedState) finishCurrent();
}

void LocalSocketSingleInstance::readCurrent() {
    if (!current_) return;
    while (current_->bytesAvailable() > 0) {
        const qint64 available = current_->bytesAvailable();
        if (static_cast<std::size_t>(received_.size()) + static_cast<std::size_t>(available) >
            limits_.maxMessageBytes) {
            dropCurrent(format("Mensaje de otra instancia descartado: más de %zu bytes",
                               limits_.maxMessageBytes));
            return;
        }
        received_.append(current_->read(available));
    }
    if (currentAge_.elapsed() > limits_.messageDeadline.count()) {
        dropCurrent("Mensaje de otra instancia descartado: tardó demasiado en llegar");
        return;
    }
    idleTimer_->start(limits_.idleTimeout);
}

void LocalSocketSingleInstance::finishCurrent() {
    if (!current_) return;
    readCurrent();
    if (!current_) return;  // dropped while reading the rest
    const QByteArray bytes = std::exchange(received_, QByteArray());
    releaseCurrent();
    if (!bytes.isEmpty()) {
        auto message = InstanceMessage::decoded(std::string_view(bytes.constData(), bytes.size()));
        if (!message) {
            logger().error("Mensaje de otra instancia ilegible");
        } else if (onMessage_) {
            onMessage_(std::move(*message));
        }
    }
    serveNextConnection();
}

void LocalSocketSingleInstance::dropCurrent(const std::string& reason) {
    if (!current_) return;
    logger().error(reason);
    releaseCurrent();
    serveNextConnection();
}

void LocalSocketSingleInstance::releaseCurrent() {
    idleTimer_->stop();
    received_ = QByteArray();
    QLocalSocket* socket = std::exchange(current_, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

bool LocalSocketSingleInstance::handOff(const InstanceMessage& message) {
    if (const std::string refusal = privateFolderRefusal(folder_); !refusal.empty()) {
        logRefusal(folder_, refusal);
        return false;
    }
    const QString path = QString::fromStdString(socketPath().string());
    const std::string bytes = message.encoded();
    if (bytes.size() > limits_.maxMessageBytes) {
        logger().error(
            format("El pedido ocupa más de %zu bytes y no se entrega", limits_.maxMessageBytes));
        return false;
    }
    // The primary may be reading other starts' messages first, each within its deadline.
    const int writeWaitMs = static_cast<int>(limits_.messageDeadline.count()) + 5000;
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
            if (!socket.waitForBytesWritten(writeWaitMs)) break;
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
