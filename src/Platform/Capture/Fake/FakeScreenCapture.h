#pragma once

#include <deque>
#include <utility>
#include <vector>

#include "Platform/Capture/ScreenCapture.h"
#include "Platform/Loop/RunLoop.h"

namespace vorela {

// Screen capture that answers what the test chose. Completions are posted to the loop,
// so they arrive when the test runs it, as real ones arrive later.
class FakeScreenCapture final : public ScreenCapture {
public:
    explicit FakeScreenCapture(RunLoop& loop) : loop_(loop) {}

    void shareableDisplays(std::function<void(DisplaysResult)> completion) override {
        ++displayQueries_;
        loop_.post(
            [completion = std::move(completion), result = displays_] { completion(result); });
    }
    void screenshot(const CaptureRequest& request,
                    std::function<void(ImageResult)> completion) override {
        requests_.push_back(request);
        ImageResult result = ScreenCaptureError::captureFailed;
        if (!screenshots_.empty()) {
            result = screenshots_.front();
            if (screenshots_.size() > 1 || !repeatLast_) screenshots_.pop_front();
        }
        loop_.post([completion = std::move(completion), result = std::move(result)] {
            completion(result);
        });
    }

    // --- test controls ---
    void setDisplays(DisplaysResult displays) { displays_ = std::move(displays); }
    // Screenshots are answered in order; the last one repeats when `repeatLast`.
    void queueScreenshot(ImageResult result, bool repeatLast = false) {
        screenshots_.push_back(std::move(result));
        repeatLast_ = repeatLast;
    }
    const std::vector<CaptureRequest>& requests() const { return requests_; }
    int displayQueries() const { return displayQueries_; }

private:
    RunLoop& loop_;
    DisplaysResult displays_ = std::vector<CaptureDisplay>{};
    std::deque<ImageResult> screenshots_;
    bool repeatLast_ = false;
    std::vector<CaptureRequest> requests_;
    int displayQueries_ = 0;
};

}  // namespace vorela
