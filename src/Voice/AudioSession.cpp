#include "Voice/AudioSession.h"

#include "Platform/Foundation/Format.h"

namespace vorela {

namespace {
constexpr const char* kConfigurationChangeReason = "cambio de configuración de audio";
constexpr const char* kWakeReason = "el equipo despertó";
}  // namespace

AudioSession::AudioSession(RunLoop& loop, std::shared_ptr<AudioEngine> engine,
                           std::shared_ptr<NotificationCenter> workspaceCenter)
    : loop_(loop), engine_(std::move(engine)) {
    auto observe = [&](const std::shared_ptr<NotificationCenter>& center, std::string_view name,
                       std::string reason) {
        if (!center) return;
        auto token = center->observe(
            name, guard_.bind([this, reason](const Notification&) { restartIfNeeded(reason); }));
        observers_.add(std::move(token), center);
    };
    observe(engine_->notificationCenter(), kAudioEngineConfigurationChangeNotification,
            kConfigurationChangeReason);
    observe(workspaceCenter, kWorkspaceDidWakeNotification, kWakeReason);
}

Subscription AudioSession::observeStatus(std::function<void(const Status&)> observer) const {
    return status_.observe(std::move(observer));
}

Subscription AudioSession::observeInputFormat(
    std::function<void(const std::optional<AudioFormat>&)> observer) {
    return inputFormat_.observe(std::move(observer));
}

void AudioSession::requestPermission(std::function<void(bool)> completion) {
    switch (engine_->authorizationStatus()) {
        case AudioPermissionStatus::restricted:
        case AudioPermissionStatus::denied:
            status_.set(Status::denied());
            completion(false);
            return;
        case AudioPermissionStatus::authorized:
            completion(true);
            return;
        case AudioPermissionStatus::notDetermined:
            break;
    }
    engine_->requestAccess(guard_.bind([this, completion = std::move(completion)](bool granted) {
        if (!granted) status_.set(Status::denied());
        completion(granted);
    }));
}

void AudioSession::start(std::function<void()> completion) {
    wantsCapture_ = true;
    beginStart(false, std::move(completion));
}

void AudioSession::beginStart(bool isRetry, std::function<void()> completion) {
    if (!completion) completion = [] {};
    if (status_.get().kind() == Status::Kind::running) {
        completion();
        return;
    }
    const std::uint64_t generation = stopGeneration_;
    requestPermission(
        [this, generation, isRetry, completion = std::move(completion)](bool granted) mutable {
            startWithPermission(granted, generation, isRetry, std::move(completion));
        });
}

void AudioSession::startWithPermission(bool granted, std::uint64_t generation, bool isRetry,
                                       std::function<void()> completion) {
    // A stop asked while the permission prompt was open wins, and a start that finished
    // meanwhile must not be followed by a second tap.
    if (!granted || generation != stopGeneration_ ||
        status_.get().kind() == Status::Kind::running) {
        completion();
        return;
    }
    const AudioFormat hardware = engine_->inputFormat(kInputBus);
    if (hardware.channelCount == 0 || !(hardware.sampleRate > 0)) {
        startFailed(Status::noInputDevice(), "No hay dispositivo de entrada disponible.", isRetry);
        completion();
        return;
    }
    engine_->removeTap(kInputBus);
    engine_->installTap(kInputBus, bufferSize_, hardware, makeTapBlock(consumers_));
    engine_->prepare();
    if (auto error = engine_->start()) {
        engine_->removeTap(kInputBus);
        startFailed(Status::failed(error->localizedDescription),
                    "No se pudo arrancar el engine: " + error->localizedDescription, isRetry);
        completion();
        return;
    }
    deviceRetry_.cancel();
    inputFormat_.set(hardware);
    status_.set(Status::running());
    logger_.notice(format("Audio corriendo a %f Hz.", hardware.sampleRate));
    completion();
}

void AudioSession::startFailed(Status status, const std::string& logLine, bool isRetry) {
    if (!isRetry || status != status_.get()) logger_.error(logLine);
    status_.set(std::move(status));
    if (!wantsCapture_) return;
    const std::uint64_t generation = stopGeneration_;
    deviceRetry_ = loop_.schedule(kDeviceRetrySeconds, [this, generation] {
        if (generation == stopGeneration_ && wantsCapture_) beginStart(true, {});
    });
}

void AudioSession::stop() {
    ++stopGeneration_;
    wantsCapture_ = false;
    deviceRetry_.cancel();
    if (status_.get().kind() != Status::Kind::running) return;
    tearDownCapture();
}

void AudioSession::tearDownCapture() {
    engine_->removeTap(kInputBus);
    engine_->stop();
    inputFormat_.set(std::nullopt);
    status_.set(Status::idle());
}

void AudioSession::restartIfNeeded(const std::string& reason) {
    if (status_.get().kind() != Status::Kind::running) return;
    logger_.notice("Reiniciando el audio: " + reason);
    tearDownCapture();
    const std::uint64_t generation = stopGeneration_;
    restartTask_ = loop_.schedule(0, [this, generation] {
        if (generation == stopGeneration_) start();
    });
}

AudioEngine::TapBlock AudioSession::makeTapBlock(std::shared_ptr<BufferConsumers> sink) {
    return [sink = std::move(sink)](const std::shared_ptr<const AudioBuffer>& buffer,
                                    const AudioTime& time) { sink->deliver(buffer, time); };
}

}  // namespace vorela
