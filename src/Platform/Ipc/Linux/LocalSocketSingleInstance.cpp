#include "Platform/Ipc/Linux/LocalSocketSingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalServer>
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

using Clock = std::chrono::steady_clock;

const Log& logger() {
    static const Log log("app");
    return log;
}

std::string baseName() { return Bundle::identifier(); }

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

// Until `deadline`, for `events` on `fd`.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd polled{fd, events, 0};
        const int ready = ::poll(&polled, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

// A connected, non-blocking socket, or -1 (nobody listening, or a full queue).
int connectTo(const std::filesystem::path& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket.native().size() >= sizeof address.sun_path) return -1;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

bool sendAll(int fd, const std::string& bytes, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!waitFor(fd, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

bool isAcknowledged(int fd, Clock::time_point deadline) {
    for (;;) {
        char answer = 0;
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n == 1) return answer == HandOffReceiver::kAcknowledgement;
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) return false;
        if (!waitFor(fd, POLLIN, deadline)) return false;
    }
}

}  // namespace

LocalSocketSingleInstance::LocalSocketSingleInstance(std::filesystem::path runtimeFolder,
                                                     std::filesystem::path dataFolder,
                                                     LocalSocketLimits limits)
    : folder_(std::move(runtimeFolder)), dataFolder_(std::move(dataFolder)), limits_(limits) {}

LocalSocketSingleInstance::~LocalSocketSingleInstance() {
    if (server_) {
        server_->close();
        // Removed while the lock is still ours, so no new primary's socket is lost.
        std::error_code ignored;
        std::filesystem::remove(socketPath(), ignored);
    }
}

std::filesystem::path LocalSocketSingleInstance::defaultRuntimeFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
    return std::filesystem::temp_directory_path() / format("vorela-%u", unsigned(getuid()));
}

std::filesystem::path LocalSocketSingleInstance::socketPath() const {
    return folder_ / (baseName() + ".socket");
}

InstanceRole LocalSocketSingleInstance::claim(MessageHandler onMessage) {
    if (runtimeLock_.isHeld() || dataLock_.isHeld()) return InstanceRole::primary;
    const auto runtimeLockPath = folder_ / (baseName() + ".lock");
    auto runtime = FileLock::Outcome::failed;
    if (const std::string refusal = claimPrivateFolder(folder_); !refusal.empty()) {
        logRefusal(folder_, refusal);
    } else {
        runtime = runtimeLock_.take(runtimeLockPath);
        if (runtime == FileLock::Outcome::busy) return InstanceRole::secondary;
        if (runtime == FileLock::Outcome::failed)
            logger().error("No se pudo tomar el cerrojo de instancia única: " +
                           runtimeLockPath.string());
    }
    // The library's own lock: whatever became of the runtime folder, one process uses it.
    const auto dataLockPath = dataFolder_ / (baseName() + ".lock");
    std::error_code ignored;
    std::filesystem::create_directories(dataFolder_, ignored);
    const auto data = dataLock_.take(dataLockPath);
    if (data == FileLock::Outcome::busy) {
        runtimeLock_.release();
        return InstanceRole::secondary;
    }
    if (data == FileLock::Outcome::failed)
        logger().error("No se pudo tomar el cerrojo de la biblioteca: " + dataLockPath.string());
    if (runtime != FileLock::Outcome::taken) {
        if (data != FileLock::Outcome::taken) return InstanceRole::failed;
        logger().error("Vorela sigue sin recibir pedidos de otros inicios");
        return InstanceRole::primary;
    }
    listen(std::move(onMessage));
    return InstanceRole::primary;
}

void LocalSocketSingleInstance::listen(MessageHandler onMessage) {
    receiver_ = new HandOffReceiver(this, limits_, std::move(onMessage));
    const QString path = QString::fromStdString(socketPath().string());
    QLocalServer::removeServer(path);  // left by a process that died
    server_ = new DescriptorServer(this, [this](int fd) { receiver_->serve(fd); });
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        logger().error("No se pudo escuchar en " + socketPath().string() + ": " +
                       server_->errorString().toStdString());
    }
}

std::optional<HandOffError> LocalSocketSingleInstance::handOff(const InstanceMessage& message) {
    if (const std::string refusal = privateFolderRefusal(folder_); !refusal.empty()) {
        logRefusal(folder_, refusal);
        return HandOffError{HandOffError::Kind::unsafeFolder,
                            "«" + folder_.string() + "» " + refusal};
    }
    const std::string bytes = message.encoded();
    if (bytes.size() > limits_.maxMessageBytes) {
        logger().error(
            format("El pedido ocupa más de %zu bytes y no se entrega", limits_.maxMessageBytes));
        return HandOffError{HandOffError::Kind::tooLarge, {}};
    }
    // The primary may hold the lock a moment before it listens: try for about 2 s.
    int fd = -1;
    for (int attempt = 0; attempt < 20 && fd < 0; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        fd = connectTo(socketPath());
    }
    if (fd < 0) {
        logger().error("Nadie atiende en " + socketPath().string());
        return HandOffError{HandOffError::Kind::notListening, {}};
    }
    // The primary answers within its deadline for this connection, however busy.
    const auto deadline = Clock::now() + limits_.messageDeadline + std::chrono::seconds(5);
    const bool isConfirmed = sendAll(fd, bytes, deadline) && ::shutdown(fd, SHUT_WR) == 0 &&
                             isAcknowledged(fd, deadline);
    ::close(fd);
    if (isConfirmed) return std::nullopt;
    logger().error("La instancia en marcha no confirmó el pedido");
    return HandOffError{HandOffError::Kind::notConfirmed, {}};
}

}  // namespace vorela
