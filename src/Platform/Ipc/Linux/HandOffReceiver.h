#pragma once

#include <QObject>
#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>

#include "Platform/Ipc/SingleInstance.h"

class QTimer;

namespace vorela {

// What the running instance accepts from one connection.
struct LocalSocketLimits {
    // The largest text a script may hold (that of a text file), with the kind line.
    std::size_t maxMessageBytes = (50ull << 20) + 64;
    // A sender writes its whole message at once: locally that takes well under 1 s.
    std::chrono::milliseconds idleTimeout{3000};
    // From the moment the connection is accepted, whether it was read or kept waiting.
    std::chrono::milliseconds messageDeadline{15000};
};

// The running instance's side of later starts' connections. A sender writes its message,
// shuts its writing side, and waits for one byte, kAcknowledgement: the message was whole
// and readable and goes to the handler. Anything else gets the connection closed
// unanswered, so the sender knows its request was lost.
//
// Any process of the user can connect, so every connection is served at once, each within
// its own limits: one silent for idleTimeout, or not done messageDeadline after it came,
// is closed, and one past maxMessageBytes as soon as it gets there; past a small first
// piece, connections are read on one at a time, the longest waiting next (the others wait
// in their sockets), so memory holds one big message at most; and when too many are open,
// the oldest goes, so nobody can fill the line and keep later starts out.
class HandOffReceiver final : public QObject {
public:
    static constexpr char kAcknowledgement = '\x06';

    HandOffReceiver(QObject* parent, LocalSocketLimits limits,
                    SingleInstance::MessageHandler onMessage);
    ~HandOffReceiver() override;
    HandOffReceiver(const HandOffReceiver&) = delete;
    HandOffReceiver& operator=(const HandOffReceiver&) = delete;
    HandOffReceiver(HandOffReceiver&&) = delete;
    HandOffReceiver& operator=(HandOffReceiver&&) = delete;

    // Takes over an accepted connection's descriptor.
    void serve(int fd);

private:
    struct Connection;
    using Connections = std::list<std::unique_ptr<Connection>>;

    void read(Connection& connection);
    bool mayGrow(Connection& connection);
    void finish(Connection& connection);
    void close(Connection& connection, const char* reason);
    void enforceDeadlines();

    LocalSocketLimits limits_;
    SingleInstance::MessageHandler onMessage_;
    Connections connections_;      // oldest first
    Connection* large_ = nullptr;  // the one connection read past the first piece
    bool isCrowded_ = false;       // connections were closed for newer ones since the last lull
    QTimer* deadlines_ = nullptr;  // child of this object
};

}  // namespace vorela
