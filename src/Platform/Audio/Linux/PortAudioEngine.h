#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

#include "Platform/Audio/AudioEngine.h"
#include "Platform/Log/Log.h"
#include "Platform/Loop/RunLoop.h"

namespace vorela {

// Microphone capture through PortAudio from the default input device: at most 2 channels
// of 32-bit float, non-interleaved, at the device's default rate. A dedicated capture
// thread reads with the blocking API only once a whole buffer is ready, so there is no
// real-time callback and stop() never waits on a stalled device for long. Each buffer is
// a new one handed on as immutable. A read error (the device unplugged, the sound server
// gone) ends the capture thread and posts the configuration-change notification.
//
// The sound server can also wedge a stream for good: a server restarted under a capture
// leaves ALSA's pulse plugin deadlocked inside its own client library, and every later call
// on that stream blocks. So a watchdog on the main loop posts the same notification when
// no buffer arrived for kStallSeconds, and the main thread waits for the capture thread
// (or a stream closing) at most kStopBoundSeconds: past that, the stream is abandoned to
// its stuck thread and never touched again, and the next start opens a fresh one.
//
// Permission: Linux asks nobody, so capture is authorised unless opening the device is
// refused for lack of access. The device list is read again before a start that follows
// a stop or a failure, so a sound server or device that appeared meanwhile is found.
class PortAudioEngine final : public AudioEngine {
public:
    explicit PortAudioEngine(RunLoop& loop);
    ~PortAudioEngine() override;
    PortAudioEngine(const PortAudioEngine&) = delete;
    PortAudioEngine& operator=(const PortAudioEngine&) = delete;
    PortAudioEngine(PortAudioEngine&&) = delete;
    PortAudioEngine& operator=(PortAudioEngine&&) = delete;

    AudioPermissionStatus authorizationStatus() override;
    void requestAccess(PermissionCompletion completion) override;
    AudioFormat inputFormat(int bus) override;
    void installTap(int bus, std::uint32_t bufferSize, AudioFormat format, TapBlock block) override;
    void removeTap(int bus) override;
    void prepare() override;
    std::optional<AudioEngineError> start() override;
    void stop() override;
    std::shared_ptr<NotificationCenter> notificationCenter() override { return center_; }

    // A steady capture delivers a buffer every 20-130 ms; the slowest start of a server
    // stream measured here took under a second.
    static constexpr double kStallSeconds = 3;
    // Stopping a healthy capture thread takes one poll interval, closing a stream a few ms.
    static constexpr double kStopBoundSeconds = 1;

private:
    struct Tap {
        std::uint32_t bufferSize = 0;
        AudioFormat format;
        TapBlock block;
    };

    struct CaptureState;

    bool refreshDevices();
    void startCapture();
    void stopCapture();
    void closeStream();
    void checkForStall();
    static void captureLoop(void* stream, Tap tap, const Clock& clock,
                            std::shared_ptr<CaptureState> state,
                            std::shared_ptr<NotificationCenter> center);

    RunLoop& loop_;
    std::shared_ptr<NotificationCenter> center_;
    Log logger_{"audio"};
    bool initialized_ = false;
    bool devicesStale_ = true;
    std::optional<Tap> tap_;
    void* stream_ = nullptr;  // PaStream, open between start() and stop()
    AudioFormat streamFormat_;
    // Streams left to a stuck thread: PortAudio may not be terminated while one exists,
    // as terminating closes every stream and would block on the wedged one.
    int abandonedStreams_ = 0;
    std::shared_ptr<CaptureState> capture_;  // shared with the capture thread
    std::thread captureThread_;
    TimerHandle watchdog_;  // last: cancelled before anything it reads goes away
};

}  // namespace vorela
