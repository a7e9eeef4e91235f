#include "Platform/Ipc/Linux/HandOffReceiver.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

#include "Platform/Foundation/Format.h"
#include "Platform/Log/Log.h"

namespace vorela {
namespace {

const Log& logger() {
    static const Log log("app");
    return log;
}

// Read in pieces this size; past the first one, a connection waits its turn.
constexpr std::size_t kPieceBytes = 64 * 1024;
// Later starts come one or two at a time; a crowd is someone else's doing.
constexpr std::size_t kMaxConnections = 64;

}  // namespace

struct HandOffReceiver::Connection {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;  // child of the receiver
    std::string received;
    QElapsedTimer age;       // since accepted
    QElapsedTimer quiet;     // since it last sent something, or was let go on
    bool isWaiting = false;  // past its first piece while another is read
};

HandOffReceiver::HandOffReceiver(QObject* parent, LocalSocketLimits limits,
                                 SingleInstance::MessageHandler onMessage)
    : QObject(parent),
      limits_(limits),
      onMessage_(std::move(onMessage)),
      deadlines_(new QTimer(this)) {
    deadlines_->setInterval(std::clamp(static_cast<int>(limits_.idleTimeout.count() / 4), 10, 250));
    connect(deadlines_, &QTimer::timeout, this, [this] { enforceDeadlines(); });
}

HandOffReceiver::~HandOffReceiver() {
    for (const auto& connection : connections_) {
        connection->notifier->setEnabled(false);
        ::close(connection->fd);
    }
}

void HandOffReceiver::serve(int fd) {
    if (connections_.size() >= kMaxConnections) {
        const auto oldest = std::find_if(connections_.begin(), connections_.end(),
                                         [this](const auto& c) { return c.get() != large_; });
        // Said once a crowd forms, not for each of a flood.
        close(**oldest, isCrowded_ ? nullptr
                                   : "Conexiones de otras instancias cerradas: "
                                     "demasiadas abiertas a la vez");
        isCrowded_ = true;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto connection = std::make_unique<Connection>();
    Connection& added = *connection;
    added.fd = fd;
    added.age.start();
    added.quiet.start();
    added.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(added.notifier, &QSocketNotifier::activated, this, [this, &added] { read(added); });
    connections_.push_back(std::move(connection));
    if (!deadlines_->isActive()) deadlines_->start();
}

bool HandOffReceiver::mayGrow(Connection& connection) {
    if (connection.received.size() < kPieceBytes || large_ == &connection) return true;
    if (large_) return false;
    large_ = &connection;
    return true;
}

void HandOffReceiver::read(Connection& connection) {
    for (;;) {
        if (!mayGrow(connection)) {
            connection.isWaiting = true;
            connection.notifier->setEnabled(false);
            return;
        }
        const std::size_t had = connection.received.size();
        connection.received.resize(had + kPieceBytes);
        const ssize_t n = ::recv(connection.fd, connection.received.data() + had, kPieceBytes, 0);
        const int cause = errno;
        connection.received.resize(had + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n > 0) {
            if (connection.received.size() > limits_.maxMessageBytes) {
                close(connection, format("Mensaje de otra instancia descartado: más de %zu bytes",
                                         limits_.maxMessageBytes)
                                      .c_str());
                return;
            }
            connection.quiet.restart();
        } else if (n == 0) {
            finish(connection);
            return;
        } else if (cause != EINTR) {
            if (cause != EAGAIN && cause != EWOULDBLOCK)
                close(connection, "Conexión de otra instancia perdida");
            return;
        }
    }
}

void HandOffReceiver::finish(Connection& connection) {
    const std::string bytes = std::move(connection.received);
    auto message = InstanceMessage::decoded(bytes);
    if (!message) {
        close(connection, bytes.empty() ? nullptr : "Mensaje de otra instancia ilegible");
        return;
    }
    ::send(connection.fd, &kAcknowledgement, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    close(connection, nullptr);
    if (onMessage_) onMessage_(std::move(*message));
}

void HandOffReceiver::close(Connection& connection, const char* reason) {
    if (reason) logger().error(reason);
    // Its own signal may be running: the notifier goes once that is over.
    connection.notifier->setEnabled(false);
    connection.notifier->disconnect(this);
    connection.notifier->deleteLater();
    ::close(connection.fd);
    if (large_ == &connection) large_ = nullptr;
    connections_.remove_if([&connection](const auto& c) { return c.get() == &connection; });
    if (!large_) {
        const auto next = std::find_if(connections_.begin(), connections_.end(),
                                       [](const auto& c) { return c->isWaiting; });
        if (next != connections_.end()) {
            large_ = next->get();
            large_->isWaiting = false;
            large_->quiet.restart();
            large_->notifier->setEnabled(true);
        }
    }
    if (connections_.empty()) {
        deadlines_->stop();
        isCrowded_ = false;
    }
}

void HandOffReceiver::enforceDeadlines() {
    for (auto it = connections_.begin(); it != connections_.end();) {
        Connection& connection = **it++;  // closing it leaves the others' places alone
        if (connection.age.elapsed() > limits_.messageDeadline.count()) {
            close(connection, "Mensaje de otra instancia descartado: tardó demasiado en llegar");
        } else if (!connection.isWaiting &&
                   connection.quiet.elapsed() > limits_.idleTimeout.count()) {
            close(connection, "Conexión de otra instancia cerrada: no envió nada a tiempo");
        }
    }
}

}  // namespace vorela
