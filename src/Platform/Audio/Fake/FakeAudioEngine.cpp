#include "Platform/Audio/Fake/FakeAudioEngine.h"

namespace vorela {

FakeAudioEngine::FakeAudioEngine(RunLoop& loop)
    : loop_(loop), center_(std::make_shared<NotificationCenter>(loop)) {}

FakeAudioEngine::~FakeAudioEngine() = default;

AudioPermissionStatus FakeAudioEngine::authorizationStatus() {
    std::lock_guard guard(mutex_);
    return permission_;
}

void FakeAudioEngine::requestAccess(PermissionCompletion completion) {
    std::unique_lock guard(mutex_);
    if (permission_ != AudioPermissionStatus::notDetermined) {
        const bool granted = permission_ == AudioPermissionStatus::authorized;
        guard.unlock();
        loop_.post([completion = std::move(completion), granted] { completion(granted); });
        return;
    }
    if (promptWaiters_.empty()) ++promptCount_;
    promptWaiters_.push_back(std::move(completion));
}

void FakeAudioEngine::answerPermissionPrompt(bool granted) {
    std::vector<PermissionCompletion> waiters;
    {
        std::lock_guard guard(mutex_);
        permission_ = granted ? AudioPermissionStatus::authorized : AudioPermissionStatus::denied;
        waiters.swap(promptWaiters_);
    }
    for (auto& waiter : waiters) {
        loop_.post([waiter = std::move(waiter), granted] { waiter(granted); });
    }
}

AudioFormat FakeAudioEngine::inputFormat(int) {
    std::lock_guard guard(mutex_);
    return hardwareFormat_;
}

void FakeAudioEngine::installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                                 TapBlock block) {
    std::lock_guard guard(mutex_);
    tap_ = std::make_shared<const TapBlock>(std::move(block));
    tapBus_ = bus;
    tapBufferSize_ = bufferSize;
    tapFormat_ = format;
    ++tapInstallCount_;
}

void FakeAudioEngine::removeTap(int bus) {
    std::shared_ptr<const TapBlock> removed;
    std::lock_guard guard(mutex_);
    if (tapBus_ != bus) return;
    removed = std::move(tap_);
    tapBus_.reset();
}

void FakeAudioEngine::prepare() {}

std::optional<AudioEngineError> FakeAudioEngine::start() {
    std::lock_guard guard(mutex_);
    ++startCount_;
    if (nextStartFailure_) {
        AudioEngineError error{*nextStartFailure_};
        nextStartFailure_.reset();
        return error;
    }
    running_ = true;
    return std::nullopt;
}

void FakeAudioEngine::stop() {
    std::lock_guard guard(mutex_);
    if (running_) ++stopCount_;
    running_ = false;
}

void FakeAudioEngine::setInputFormat(AudioFormat format) {
    std::lock_guard guard(mutex_);
    hardwareFormat_ = format;
}

void FakeAudioEngine::setAuthorizationStatus(AudioPermissionStatus status) {
    std::lock_guard guard(mutex_);
    permission_ = status;
}

void FakeAudioEngine::failNextStart(std::string description) {
    std::lock_guard guard(mutex_);
    nextStartFailure_ = std::move(description);
}

bool FakeAudioEngine::isPermissionPromptOpen() const {
    std::lock_guard guard(mutex_);
    return !promptWaiters_.empty();
}

int FakeAudioEngine::permissionPromptCount() const {
    std::lock_guard guard(mutex_);
    return promptCount_;
}

bool FakeAudioEngine::pushBuffer(const std::shared_ptr<const AudioBuffer>& buffer) {
    std::shared_ptr<const TapBlock> tap;
    AudioTime time;
    {
        std::lock_guard guard(mutex_);
        if (!tap_ || !running_) return false;
        tap = tap_;
        time = AudioTime{loop_.uptime(), sampleTime_};
        sampleTime_ += buffer->frameLength();
    }
    (*tap)(buffer, time);
    return true;
}

void FakeAudioEngine::simulateConfigurationChange() {
    center_->post(kAudioEngineConfigurationChangeNotification);
}

bool FakeAudioEngine::isRunning() const {
    std::lock_guard guard(mutex_);
    return running_;
}

bool FakeAudioEngine::isTapInstalled() const {
    std::lock_guard guard(mutex_);
    return tap_ != nullptr;
}

int FakeAudioEngine::tapInstallCount() const {
    std::lock_guard guard(mutex_);
    return tapInstallCount_;
}

int FakeAudioEngine::startCount() const {
    std::lock_guard guard(mutex_);
    return startCount_;
}

int FakeAudioEngine::stopCount() const {
    std::lock_guard guard(mutex_);
    return stopCount_;
}

std::optional<int> FakeAudioEngine::tapBus() const {
    std::lock_guard guard(mutex_);
    return tapBus_;
}

std::uint32_t FakeAudioEngine::tapBufferSize() const {
    std::lock_guard guard(mutex_);
    return tapBufferSize_;
}

AudioFormat FakeAudioEngine::tapFormat() const {
    std::lock_guard guard(mutex_);
    return tapFormat_;
}

}  // namespace vorela
