#include "Platform/Audio/Linux/PortAudioEngine.h"

#include <alsa/asoundlib.h>
#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "Platform/Audio/Linux/AudioLibraryNoise.h"
#include "Platform/Foundation/Format.h"

namespace vorela {

namespace {

// At most stereo: the level and the recogniser need no more, and it bounds the copy.
constexpr int kMaxChannels = 2;
// How long the capture thread waits before it looks for a whole buffer again: a small
// fraction of a 1,024-frame buffer (21 ms at 48 kHz) so nothing piles up.
constexpr auto kPollInterval = std::chrono::milliseconds(2);

// How often the watchdog looks at the capture: a third of the stall it waits for.
constexpr double kWatchdogInterval = PortAudioEngine::kStallSeconds / 3;

std::chrono::milliseconds stopBound() {
    return std::chrono::milliseconds(static_cast<int>(PortAudioEngine::kStopBoundSeconds * 1000));
}

// A flag one thread raises when it is done and another waits for, for a bounded time.
class Completion {
public:
    void finish() {
        std::lock_guard guard(mutex_);
        isFinished_ = true;
        changed_.notify_all();
    }
    bool waitFor(std::chrono::milliseconds bound) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, bound, [this] { return isFinished_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool isFinished_ = false;
};

// Runs work on a thread of its own and waits for it at most the stop bound; false when
// it is still running then (it is left to finish, or not, on its own).
bool runBounded(std::function<void()> work) {
    auto done = std::make_shared<Completion>();
    std::thread([done, work = std::move(work)] {
        work();
        done->finish();
    }).detach();
    return done->waitFor(stopBound());
}

// The user reads this text as the audio problem, so it is Spanish; PortAudio's own
// English text stays as the detail of the rarer failures.
std::string describe(PaError error) {
    switch (error) {
        case paDeviceUnavailable:
            return "El micrófono no está disponible.";
        case paInvalidChannelCount:
            return "El micrófono no admite esa cantidad de canales.";
        case paInvalidSampleRate:
            return "El micrófono no admite esa frecuencia de muestreo.";
        case paInsufficientMemory:
            return "No hay memoria suficiente para grabar.";
        default:
            break;
    }
    std::string detail = Pa_GetErrorText(error);
    if (error == paUnanticipatedHostError) {
        if (const PaHostErrorInfo* info = Pa_GetLastHostErrorInfo(); info && info->errorText) {
            detail = format("%s (%ld)", info->errorText, info->errorCode);
        }
    }
    return "No se pudo abrir el micrófono: " + detail;
}

bool isAccessRefused(PaError error) {
    if (error != paUnanticipatedHostError) return false;
    const PaHostErrorInfo* info = Pa_GetLastHostErrorInfo();
    return info && (info->errorCode == -EACCES || info->errorCode == -EPERM);
}

// PortAudio hides a device the user may not open: its probe leaves it out of the list,
// and a refused open of a listed one comes back as a bad device combination without the
// system's error. So the refusal is read from ALSA itself, on the device PortAudio uses
// by default.
bool isDefaultCaptureRefused() {
    snd_pcm_t* pcm = nullptr;
    int opened = 0;
    {
        const AudioLibraryNoise noise;
        opened = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
        if (opened == 0) snd_pcm_close(pcm);
    }
    return opened == -EACCES || opened == -EPERM;
}

PaStreamParameters inputParameters(PaDeviceIndex device, const AudioFormat& format) {
    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = static_cast<int>(format.channelCount);
    parameters.sampleFormat = paFloat32 | paNonInterleaved;
    // The high latency gives the blocking reads the largest ring buffer to catch up from.
    parameters.suggestedLatency = Pa_GetDeviceInfo(device)->defaultHighInputLatency;
    return parameters;
}

}  // namespace

struct PortAudioEngine::CaptureState {
    std::atomic<bool> stopRequested{false};
    // The clock's uptime when the last buffer was handed on (or the capture began).
    std::atomic<double> lastBufferUptime{0};
    Completion ended;
};

PortAudioEngine::PortAudioEngine(RunLoop& loop)
    : loop_(loop), center_(std::make_shared<NotificationCenter>(loop)) {}

PortAudioEngine::~PortAudioEngine() {
    stop();
    if (initialized_ && abandonedStreams_ == 0) Pa_Terminate();
}

bool PortAudioEngine::refreshDevices() {
    if (stream_ || (initialized_ && !devicesStale_)) return initialized_;
    // The list read before the stream was abandoned stays: it still names the devices.
    if (initialized_ && abandonedStreams_ > 0) return true;
    // PortAudio reads the device list once per initialisation.
    if (initialized_) {
        Pa_Terminate();
        initialized_ = false;
    }
    AudioLibraryNoise::routeLibraryHandlers();
    PaError error = paNoError;
    {
        const AudioLibraryNoise noise;  // the probe of every card prints its failures
        error = Pa_Initialize();
    }
    if (error != paNoError) {
        logger_.error("PortAudio no se pudo iniciar: " + describe(error));
        return false;
    }
    initialized_ = true;
    devicesStale_ = false;
    return true;
}

AudioPermissionStatus PortAudioEngine::authorizationStatus() {
    if (stream_ || !refreshDevices()) return AudioPermissionStatus::authorized;
    const PaDeviceIndex device = Pa_GetDefaultInputDevice();
    if (device == paNoDevice)
        return isDefaultCaptureRefused() ? AudioPermissionStatus::denied
                                         : AudioPermissionStatus::authorized;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    const AudioFormat probe{info->defaultSampleRate, static_cast<std::uint32_t>(std::clamp(
                                                         info->maxInputChannels, 1, kMaxChannels))};
    const PaStreamParameters parameters = inputParameters(device, probe);
    PaStream* stream = nullptr;
    PaError error = paNoError;
    {
        const AudioLibraryNoise noise;
        error = Pa_OpenStream(&stream, &parameters, nullptr, probe.sampleRate,
                              paFramesPerBufferUnspecified, paClipOff, nullptr, nullptr);
        if (stream) Pa_CloseStream(stream);
    }
    if (error == paNoError) return AudioPermissionStatus::authorized;
    return isAccessRefused(error) || isDefaultCaptureRefused() ? AudioPermissionStatus::denied
                                                               : AudioPermissionStatus::authorized;
}

void PortAudioEngine::requestAccess(PermissionCompletion completion) {
    const bool granted = authorizationStatus() != AudioPermissionStatus::denied;
    loop_.post([completion = std::move(completion), granted] { completion(granted); });
}

AudioFormat PortAudioEngine::inputFormat(int bus) {
    if (bus != 0) return {};
    if (stream_) return streamFormat_;
    if (!refreshDevices()) return {};
    const PaDeviceIndex device = Pa_GetDefaultInputDevice();
    const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
    if (!info || info->maxInputChannels <= 0) {
        devicesStale_ = true;  // look again next time: a server or device may appear
        return {};
    }
    return AudioFormat{info->defaultSampleRate,
                       static_cast<std::uint32_t>(std::min(info->maxInputChannels, kMaxChannels))};
}

void PortAudioEngine::installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                                 TapBlock block) {
    if (bus != 0) return;
    stopCapture();
    tap_ = Tap{bufferSize, format, std::move(block)};
    if (stream_) startCapture();
}

void PortAudioEngine::removeTap(int bus) {
    if (bus != 0) return;
    stopCapture();
    tap_.reset();
}

void PortAudioEngine::prepare() {}

std::optional<AudioEngineError> PortAudioEngine::start() {
    if (stream_) return std::nullopt;
    if (!initialized_ && !refreshDevices()) return AudioEngineError{describe(paNotInitialized)};
    const PaDeviceIndex device = Pa_GetDefaultInputDevice();
    if (device == paNoDevice) {
        devicesStale_ = true;
        return AudioEngineError{describe(paDeviceUnavailable)};
    }
    const AudioFormat format = tap_ ? tap_->format : inputFormat(0);
    const std::uint32_t frames = tap_ ? tap_->bufferSize : 1024;
    if (format.channelCount == 0 || format.channelCount > kMaxChannels ||
        !(format.sampleRate > 0) || frames == 0) {
        return AudioEngineError{describe(paInvalidChannelCount)};
    }
    const PaStreamParameters parameters = inputParameters(device, format);
    PaStream* stream = nullptr;
    PaError error = paNoError;
    {
        const AudioLibraryNoise noise;
        error = Pa_OpenStream(&stream, &parameters, nullptr, format.sampleRate, frames, paClipOff,
                              nullptr, nullptr);
        if (error == paNoError) {
            error = Pa_StartStream(stream);
            if (error != paNoError) Pa_CloseStream(stream);
        }
    }
    if (error != paNoError) {
        devicesStale_ = true;
        return AudioEngineError{describe(error)};
    }
    stream_ = stream;
    streamFormat_ = format;
    if (tap_) startCapture();
    return std::nullopt;
}

void PortAudioEngine::stop() {
    stopCapture();
    closeStream();
    // The next start reads the device list again, e.g. after the device went away.
    devicesStale_ = true;
}

void PortAudioEngine::closeStream() {
    if (!stream_) return;
    auto* stream = static_cast<PaStream*>(stream_);
    stream_ = nullptr;
    if (!runBounded([stream] {
            Pa_AbortStream(stream);
            Pa_CloseStream(stream);
        })) {
        ++abandonedStreams_;
        logger_.error("El flujo de audio no se pudo cerrar y se abandona");
    }
}

void PortAudioEngine::startCapture() {
    if (captureThread_.joinable() || !tap_ || !stream_) return;
    capture_ = std::make_shared<CaptureState>();
    capture_->lastBufferUptime.store(loop_.uptime());
    captureThread_ =
        std::thread(captureLoop, stream_, *tap_, std::cref(loop_.clock()), capture_, center_);
    watchdog_ = loop_.scheduleRepeating(kWatchdogInterval, [this] { checkForStall(); });
}

void PortAudioEngine::stopCapture() {
    watchdog_.cancel();
    if (!captureThread_.joinable()) return;
    capture_->stopRequested.store(true);
    if (capture_->ended.waitFor(stopBound())) {
        captureThread_.join();
        return;
    }
    // Stuck inside the audio library: nothing would ever wake it, and its stream with it.
    captureThread_.detach();
    stream_ = nullptr;
    ++abandonedStreams_;
    logger_.error("El hilo de captura no respondió; se abandona el flujo de audio");
}

void PortAudioEngine::checkForStall() {
    if (!capture_ || loop_.uptime() - capture_->lastBufferUptime.load() < kStallSeconds) return;
    watchdog_.cancel();
    logger_.error("El micrófono dejó de enviar audio");
    center_->post(kAudioEngineConfigurationChangeNotification);
}

void PortAudioEngine::captureLoop(void* streamPointer, Tap tap, const Clock& clock,
                                  std::shared_ptr<CaptureState> state,
                                  std::shared_ptr<NotificationCenter> center) {
    struct EndGuard {
        Completion& ended;
        ~EndGuard() { ended.finish(); }
    } guard{state->ended};
    auto* stream = static_cast<PaStream*>(streamPointer);
    const std::uint32_t frames = tap.bufferSize;
    std::int64_t sampleTime = 0;
    // After each call into PortAudio the stop flag is read first: a thread that was given
    // up on while it hung must not touch the clock or the tap, which may be gone.
    while (!state->stopRequested.load()) {
        const long available = Pa_GetStreamReadAvailable(stream);
        if (state->stopRequested.load()) return;
        if (available < 0) {
            center->post(kAudioEngineConfigurationChangeNotification);
            return;
        }
        if (available < static_cast<long>(frames)) {
            std::this_thread::sleep_for(kPollInterval);
            continue;
        }
        // A fresh buffer per read: a consumer may keep it, so it is never written again.
        auto buffer = AudioBuffer::make(tap.format, frames);
        void* planes[kMaxChannels] = {};
        for (std::uint32_t c = 0; c < tap.format.channelCount && c < kMaxChannels; ++c) {
            planes[c] = buffer->mutableChannelData(c);
        }
        // The first frame of the buffer was captured `available` frames ago.
        const AudioTime time{clock.uptime() - available / tap.format.sampleRate, sampleTime};
        const PaError error = Pa_ReadStream(stream, planes, frames);
        if (state->stopRequested.load()) return;
        // An overflow lost older frames, but this buffer's frames are whole.
        if (error != paNoError && error != paInputOverflowed) {
            center->post(kAudioEngineConfigurationChangeNotification);
            return;
        }
        sampleTime += frames;
        state->lastBufferUptime.store(clock.uptime());
        tap.block(std::shared_ptr<const AudioBuffer>(std::move(buffer)), time);
    }
}

}  // namespace vorela
