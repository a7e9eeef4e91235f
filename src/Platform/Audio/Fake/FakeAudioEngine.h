#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Audio/AudioEngine.h"
#include "Platform/Loop/RunLoop.h"

namespace vorela {

// An audio engine that tests steer: the hardware format, the permission and its prompt,
// start failures, captured buffers pushed from any thread, and configuration changes.
// Like the system, it shows one permission prompt for requests made while one is open.
class FakeAudioEngine final : public AudioEngine {
public:
    explicit FakeAudioEngine(RunLoop& loop);
    ~FakeAudioEngine() override;
    FakeAudioEngine(const FakeAudioEngine&) = delete;
    FakeAudioEngine& operator=(const FakeAudioEngine&) = delete;
    FakeAudioEngine(FakeAudioEngine&&) = delete;
    FakeAudioEngine& operator=(FakeAudioEngine&&) = delete;

    AudioPermissionStatus authorizationStatus() override;
    void requestAccess(PermissionCompletion completion) override;
    AudioFormat inputFormat(int bus) override;
    void installTap(int bus, std::uint32_t bufferSize, AudioFormat format, TapBlock block) override;
    void removeTap(int bus) override;
    void prepare() override;
    std::optional<AudioEngineError> start() override;
    void stop() override;
    std::shared_ptr<NotificationCenter> notificationCenter() override { return center_; }

    // --- test controls ---
    void setInputFormat(AudioFormat format);
    void setAuthorizationStatus(AudioPermissionStatus status);
    // The next start() fails with this description.
    void failNextStart(std::string description);
    // Answers the open prompt: the status becomes authorized or denied and every waiting
    // completion is posted to the run loop.
    void answerPermissionPrompt(bool granted);
    bool isPermissionPromptOpen() const;
    int permissionPromptCount() const;
    // Hands a buffer to the installed tap on the calling thread, as the capture thread
    // would. False when no tap is installed or the engine is not running. Unlike a real
    // engine, a push already under way may still deliver after removeTap() returns.
    bool pushBuffer(const std::shared_ptr<const AudioBuffer>& buffer);
    void simulateConfigurationChange();

    bool isRunning() const;
    bool isTapInstalled() const;
    int tapInstallCount() const;  // taps installed over the engine's life
    int startCount() const;
    int stopCount() const;
    std::optional<int> tapBus() const;
    std::uint32_t tapBufferSize() const;
    AudioFormat tapFormat() const;

private:
    RunLoop& loop_;
    std::shared_ptr<NotificationCenter> center_;
    mutable std::mutex mutex_;  // guards everything below: pushBuffer comes from other threads
    AudioFormat hardwareFormat_{48000, 1};
    AudioPermissionStatus permission_ = AudioPermissionStatus::authorized;
    std::vector<PermissionCompletion> promptWaiters_;
    int promptCount_ = 0;
    std::optional<std::string> nextStartFailure_;
    std::shared_ptr<const TapBlock> tap_;
    std::optional<int> tapBus_;
    std::uint32_t tapBufferSize_ = 0;
    AudioFormat tapFormat_;
    int tapInstallCount_ = 0;
    bool running_ = false;
    int startCount_ = 0;
    int stopCount_ = 0;
    std::int64_t sampleTime_ = 0;
};

}  // namespace vorela
