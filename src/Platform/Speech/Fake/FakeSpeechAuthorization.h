#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "Platform/Loop/RunLoop.h"
#include "Platform/Speech/SpeechAuthorization.h"

namespace vorela {

// Speech-recognition permission that a test sets or answers. A request while the status
// is undetermined opens one prompt that answerPrompt() closes; otherwise the current
// status is posted back at once.
class FakeSpeechAuthorization final : public SpeechAuthorization {
public:
    explicit FakeSpeechAuthorization(RunLoop& loop) : loop_(loop) {}

    SpeechAuthorizationStatus authorizationStatus() const override { return status_; }
    void requestAuthorization(std::function<void(SpeechAuthorizationStatus)> completion) override {
        ++requestCount_;
        if (status_ == SpeechAuthorizationStatus::notDetermined) {
            waiters_.push_back(std::move(completion));
            return;
        }
        loop_.post([completion = std::move(completion), s = status_] { completion(s); });
    }

    // --- test controls ---
    void setStatus(SpeechAuthorizationStatus status) { status_ = status; }
    void answerPrompt(SpeechAuthorizationStatus answer) {
        status_ = answer;
        for (auto& waiter : std::exchange(waiters_, {})) {
            loop_.post([waiter = std::move(waiter), answer] { waiter(answer); });
        }
    }
    bool isPromptOpen() const { return !waiters_.empty(); }
    int requestCount() const { return requestCount_; }

private:
    RunLoop& loop_;
    SpeechAuthorizationStatus status_ = SpeechAuthorizationStatus::authorized;
    std::vector<std::function<void(SpeechAuthorizationStatus)>> waiters_;
    int requestCount_ = 0;
};

}  // namespace vorela
