#pragma once

#include <functional>

namespace vorela {

enum class SpeechAuthorizationStatus { notDetermined, denied, restricted, authorized };

// The user's permission for speech recognition. requestAuthorization() prompts only while
// the status is not determined; its completion runs later on the main run loop with the
// resulting status, never inside the call. Main thread only.
class SpeechAuthorization {
public:
    virtual ~SpeechAuthorization() = default;
    virtual SpeechAuthorizationStatus authorizationStatus() const = 0;
    virtual void requestAuthorization(
        std::function<void(SpeechAuthorizationStatus)> completion) = 0;
};

}  // namespace vorela
