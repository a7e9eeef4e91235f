#pragma once

#include <atomic>
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

private:
    struct Tap {
        std::uint32_t bufferSize = 0;
        AudioFormat format;
        TapBlock block;
    };

    bool refreshDevices();
    void startCapture();
    void stopCapture();
    void closeStream();
    static void captureLoop(void* stream, Tap tap, const Clock& clock,
                            std::atomic<bool>& stopRequested,
                            std::shared_ptr<NotificationCenter> center);

    RunLoop& loop_;
    std::shared_ptr<NotificationCenter> center_;
    Log logger_{"audio"};
    bool initialized_ = false;
    bool devicesStale_ = true;
    std::optional<Tap> tap_;
    void* stream_ = nullptr;  // PaStream, open between start() and stop()
    AudioFormat streamFormat_;
    std::atomic<bool> stopRequested_{false};
    std::thread captureThread_;  // last: joined before the fields it reads go away
};

}  // namespace vorela
