#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Audio/AudioEngine.h"
#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Log/Log.h"
#include "Platform/Loop/RunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Observation/Observable.h"
#include "Platform/Observation/ObserverBox.h"
#include "Voice/BufferConsumers.h"

namespace vorela {

// The microphone capture: one audio engine with one tap on input bus 0 (1,024 frames in
// the hardware format) whose buffers go to every consumer in consumers(). Restarts itself
// while running when the audio configuration changes or the machine wakes; the consumers
// stay registered across a restart. While capture is wanted (started, not stopped since)
// and the device is missing or refused to start, it looks for it again every
// kDeviceRetrySeconds, so a microphone plugged back in is heard without a new start.
//
// Main thread only, except consumers(), which the tap thread and the transcription
// engines use. Every outcome of start() is reported through status(); nothing is thrown.
class AudioSession final {
public:
    class Status {
    public:
        enum class Kind { failed, idle, running, denied, noInputDevice };

        static Status failed(std::string message) {
            return Status(Kind::failed, std::move(message));
        }
        static Status idle() { return Status(Kind::idle); }
        static Status running() { return Status(Kind::running); }
        static Status denied() { return Status(Kind::denied); }
        static Status noInputDevice() { return Status(Kind::noInputDevice); }

        Kind kind() const { return kind_; }
        // The engine's description for failed; empty otherwise.
        const std::string& message() const { return message_; }
        bool operator==(const Status&) const = default;

    private:
        explicit Status(Kind kind, std::string message = {})
            : kind_(kind), message_(std::move(message)) {}
        Kind kind_ = Kind::idle;
        std::string message_;
    };

    static constexpr int kInputBus = 0;
    // Between two looks for a missing device: a device list read costs some milliseconds,
    // and a user who plugs the microphone back waits at most this long.
    static constexpr double kDeviceRetrySeconds = 2;

    // Asks no permission and touches no hardware; only installs the two observers.
    AudioSession(RunLoop& loop, std::shared_ptr<AudioEngine> engine,
                 std::shared_ptr<NotificationCenter> workspaceCenter);
    ~AudioSession() = default;
    AudioSession(const AudioSession&) = delete;
    AudioSession& operator=(const AudioSession&) = delete;
    AudioSession(AudioSession&&) = delete;
    AudioSession& operator=(AudioSession&&) = delete;

    const Status& status() const { return status_.get(); }
    // The hardware format of the running tap; nothing while not running.
    const std::optional<AudioFormat>& inputFormat() const { return inputFormat_.get(); }
    [[nodiscard]] Subscription observeStatus(std::function<void(const Status&)> observer) const;
    [[nodiscard]] Subscription observeInputFormat(
        std::function<void(const std::optional<AudioFormat>&)> observer);

    // Completion: true when capture is allowed; may run inside the call when the answer
    // is already known, else later on the run loop.
    void requestPermission(std::function<void(bool)> completion);
    // Starts capture unless it runs. The completion runs once the start has finished,
    // whatever its outcome (including a start abandoned by stop()).
    void start(std::function<void()> completion = {});
    // Stops capture, and abandons a start still awaiting permission or a pending restart.
    void stop();

    BufferConsumers& consumers() { return *consumers_; }
    const BufferConsumers& consumers() const { return *consumers_; }
    std::uint32_t bufferSize() const { return bufferSize_; }

private:
    void beginStart(bool isRetry, std::function<void()> completion);
    void startWithPermission(bool granted, std::uint64_t generation, bool isRetry,
                             std::function<void()> completion);
    // Reports a failed start, logged unless a retry failed as the start before it did.
    void startFailed(Status status, const std::string& logLine, bool isRetry);
    void restartIfNeeded(const std::string& reason);
    void tearDownCapture();
    static AudioEngine::TapBlock makeTapBlock(std::shared_ptr<BufferConsumers> sink);

    RunLoop& loop_;
    // Observing does not change the status, so a const session may still be observed.
    mutable Observable<Status> status_{Status::idle()};
    Observable<std::optional<AudioFormat>> inputFormat_;
    std::shared_ptr<AudioEngine> engine_;
    std::shared_ptr<BufferConsumers> consumers_ = std::make_shared<BufferConsumers>();
    ObserverBox observers_;
    Log logger_{"audio"};
    std::uint32_t bufferSize_ = 1024;
    // Bumped by every stop(): a start or restart begun before it sees a different value
    // when it resumes and gives up, so the microphone stays off.
    std::uint64_t stopGeneration_ = 0;
    bool wantsCapture_ = false;  // started and not stopped since
    // A pending restart or retry is cancelled before anything it uses goes.
    TimerHandle restartTask_;
    TimerHandle deviceRetry_;
    // Last: the callbacks the engine and the notification centres keep may outlive us.
    LifetimeGuard guard_;
};

}  // namespace vorela
