#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace vorela {

// SIGTERM and SIGINT (a logout, `kill`, Ctrl+C in a terminal) end the program the way
// "Salir" does: the handler only writes the signal's number into a pipe, and the Qt event
// loop reads it and calls onSignal on the main thread, where the quit runs in order. The
// first signal puts the default action back, so a second one still ends a program whose
// quit hangs. One instance per process; it restores the default actions when destroyed.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void(int signal)> onSignal);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;
    TerminationSignals(TerminationSignals&&) = delete;
    TerminationSignals& operator=(TerminationSignals&&) = delete;

    // False when the pipe could not be made: the signals then keep their default action.
    bool isInstalled() const { return notifier_ != nullptr; }

private:
    void readSignals();

    std::function<void(int)> onSignal_;
    int readFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;  // child of this object
};

}  // namespace vorela
