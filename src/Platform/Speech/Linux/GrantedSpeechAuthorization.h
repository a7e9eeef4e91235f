#pragma once

#include "Platform/Loop/RunLoop.h"
#include "Platform/Speech/SpeechAuthorization.h"

namespace vorela {

// Linux asks no permission for speech recognition: it runs on this machine, inside the
// application. The status is always authorised; a request answers on the run loop.
class GrantedSpeechAuthorization final : public SpeechAuthorization {
public:
    explicit GrantedSpeechAuthorization(RunLoop& loop) : loop_(loop) {}

    SpeechAuthorizationStatus authorizationStatus() const override {
        return SpeechAuthorizationStatus::authorized;
    }
    void requestAuthorization(std::function<void(SpeechAuthorizationStatus)> completion) override {
        loop_.post([completion = std::move(completion)] {
            completion(SpeechAuthorizationStatus::authorized);
        });
    }

private:
    RunLoop& loop_;
};

}  // namespace vorela
