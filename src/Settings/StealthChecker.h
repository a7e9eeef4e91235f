#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Capture/ScreenCapture.h"
#include "Platform/Foundation/Color.h"
#include "Platform/Foundation/Geometry.h"
#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Loop/TimerHandle.h"
#include "Platform/Observation/Observable.h"
#include "Platform/Screens/Screens.h"
#include "Settings/StealthResult.h"

namespace vorela {

class RunLoop;

// Measures whether screen captures show the prompter panel: shows the test pattern
// through the caller's callback, takes three screenshots of the panel's display one
// second apart, counts the test colour in the panel's region, and keeps the best ratio
// as the result (published, stored under lastStealthResult, logged).
//
// Main thread only. Knows nothing of the panel or the central state. Once the pattern
// is shown, every way out (success, failure, or the checker destroyed mid-check) calls
// showPattern(false) exactly once. Do not start a run while one is running.
class StealthChecker {
public:
    static constexpr double kVisibilityThreshold = 0.1;
    static constexpr int kScreenshotCount = 3;
    static constexpr double kPatternSettleSeconds = 0.5;  // the panel repaints first
    static constexpr double kScreenshotIntervalSeconds = 1.0;
    static constexpr const char* kDisplayNotFound = "No encontré la pantalla donde está el panel.";

    struct Status {
        enum class Kind { done, failed, idle, preparing, capturing };
        Kind kind = Kind::idle;
        std::optional<StealthResult> result;  // done only
        std::string message;                  // failed only
        static Status of(Kind kind) {
            Status s;
            s.kind = kind;
            return s;
        }
        static Status done(StealthResult result) {
            Status s = of(Kind::done);
            s.result = std::move(result);
            return s;
        }
        static Status failed(std::string message) {
            Status s = of(Kind::failed);
            s.message = std::move(message);
            return s;
        }
        bool isRunning() const { return kind == Kind::preparing || kind == Kind::capturing; }
        bool operator==(const Status&) const = default;
    };
    // The crop of the panel region from the best screenshot, shown at half its size.
    struct Evidence {
        CapturedImage image;
        Size displaySize;  // points: half the pixel size, rounded down
        bool operator==(const Evidence&) const = default;
    };
    struct Services {
        RunLoop& runLoop;
        ScreenCapture& capture;
        std::string osVersion;  // the running system's, as currentSystemVersion() gives it
    };

    explicit StealthChecker(Services services);
    ~StealthChecker();
    StealthChecker(const StealthChecker&) = delete;
    StealthChecker& operator=(const StealthChecker&) = delete;
    StealthChecker(StealthChecker&&) = delete;
    StealthChecker& operator=(StealthChecker&&) = delete;

    Observable<Status> status;
    Observable<std::optional<Evidence>> evidence;

    // panelFrame in desktop points; screen the one the panel is on.
    void run(const Rect& panelFrame, const Screen& screen, std::function<void(bool)> showPattern);

    // A stored result exists and was measured on another system version.
    bool isResultStale() const;
    const std::string& currentOSVersion() const { return services_.osVersion; }
    // Opaque magenta: what the panel paints while the pattern shows.
    static const Color& patternColor();

private:
    struct Check;
    void chooseDisplay(const ScreenCapture::DisplaysResult& result);
    void takeScreenshot();
    void measure(const ScreenCapture::ImageResult& result);
    void finish();
    void fail(std::string message);
    void hidePattern();
    template <class F>
    auto guarded(F&& body);

    Services services_;
    std::unique_ptr<Check> check_;
    std::uint64_t runId_ = 0;  // completions of an earlier run are ignored
    TimerHandle wait_;         // cancelled before the fields above go
    LifetimeGuard guard_;      // last
};

}  // namespace vorela
