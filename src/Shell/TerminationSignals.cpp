#include "Shell/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>

namespace vorela {
namespace {

constexpr std::array<int, 2> kSignals{SIGTERM, SIGINT};

// Written from the signal handler, so a plain int: only write() touches it there.
int signalWriteFd = -1;

void resetToDefault() {
    for (const int number : kSignals) ::signal(number, SIG_DFL);
}

extern "C" void onTerminationSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal the loop has not read: losing this one is fine.
    [[maybe_unused]] const ssize_t ignored = ::write(signalWriteFd, &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int signal)> onSignal)
    : onSignal_(std::move(onSignal)) {
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readFd_ = fds[0];
    signalWriteFd = fds[1];
    notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (readFd_ < 0) return;
    resetToDefault();
    ::close(signalWriteFd);
    signalWriteFd = -1;
    ::close(readFd_);
}

void TerminationSignals::readSignals() {
    unsigned char byte = 0;
    while (::read(readFd_, &byte, 1) == 1) {
        resetToDefault();
        if (onSignal_) onSignal_(byte);
    }
}

}  // namespace vorela
