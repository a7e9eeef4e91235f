#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Audio/AudioFormat.h"
#include "Platform/Observation/NotificationCenter.h"

namespace vorela {

// Posted on an engine's notificationCenter() when its input hardware changes or fails.
inline constexpr std::string_view kAudioEngineConfigurationChangeNotification =
    "AudioEngineConfigurationChange";
// Posted on the workspace centre when the machine wakes from sleep.
inline constexpr std::string_view kWorkspaceDidWakeNotification = "WorkspaceDidWake";

// Whether the user lets the application capture from the microphone.
enum class AudioPermissionStatus { notDetermined, restricted, denied, authorized };

// Why the engine did not start; the description is shown to the user as it is.
struct AudioEngineError {
    std::string localizedDescription;
};

// Microphone capture with one input bus (0) that carries one tap.
//
// Threads: every operation is called on the main thread. The tap block runs on the
// engine's capture thread, one call per captured buffer of the tap's size in the tap's
// format; it must not block. Each buffer is a fresh immutable one that the engine never
// writes again, so a block may keep it. After removeTap() or stop() returns, the block is
// not called again.
//
// Notifications: the engine posts kAudioEngineConfigurationChangeNotification on its
// notificationCenter() when the input hardware changes or fails while capturing (a device
// unplugged); posting may happen on any thread.
class AudioEngine {
public:
    using TapBlock =
        std::function<void(const std::shared_ptr<const AudioBuffer>&, const AudioTime&)>;
    using PermissionCompletion = std::function<void(bool granted)>;

    virtual ~AudioEngine() = default;

    // Microphone permission. requestAccess() prompts only while the status is not
    // determined; its completion runs later on the main run loop, never inside the call.
    virtual AudioPermissionStatus authorizationStatus() = 0;
    virtual void requestAccess(PermissionCompletion completion) = 0;

    // The hardware format of an input bus; zero channels or rate when there is no input.
    virtual AudioFormat inputFormat(int bus) = 0;
    // Replaces any tap on the bus. Capture begins with start().
    virtual void installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                            TapBlock block) = 0;
    virtual void removeTap(int bus) = 0;
    virtual void prepare() = 0;
    virtual std::optional<AudioEngineError> start() = 0;
    // Stops capture; fine when not running.
    virtual void stop() = 0;

    virtual std::shared_ptr<NotificationCenter> notificationCenter() = 0;
};

}  // namespace vorela
