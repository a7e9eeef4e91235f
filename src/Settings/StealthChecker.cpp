#include "Settings/StealthChecker.h"

#include "Platform/Foundation/Format.h"
#include "Platform/Log/Log.h"
#include "Platform/Loop/RunLoop.h"
#include "Prefs/Prefs.h"
#include "Settings/StealthMeasure.h"
#include "Window/PrompterContentView.h"

namespace vorela {

namespace {
const Log& logger() {
    static const Log log("stealth");
    return log;
}
}  // namespace

// What one run carries between its steps.
struct StealthChecker::Check {
    Rect panelFrame;
    Screen screen;
    std::function<void(bool)> showPattern;
    bool isPatternShown = false;
    CaptureDisplay display;
    int screenshotsTaken = 0;
    double bestRatio = 0;
    std::optional<CapturedImage> bestCrop;
};

StealthChecker::StealthChecker(Services services) : services_(std::move(services)) {}

// The tab that owns the checker may close mid-check: the panel must not stay magenta.
StealthChecker::~StealthChecker() { hidePattern(); }

const Color& StealthChecker::patternColor() { return PrompterContentView::stealthPatternColor(); }

bool StealthChecker::isResultStale() const {
    const auto stored = Prefs::get(Prefs::Keys::lastStealthResult());
    return stored && stored->osVersion != services_.osVersion;
}

// Completions and timers run the body only while this checker and this run still exist.
template <class F>
auto StealthChecker::guarded(F&& body) {
    return guard_.bind([this, run = runId_, body = std::forward<F>(body)](auto&&... args) {
        if (!check_ || runId_ != run) return;
        body(std::forward<decltype(args)>(args)...);
    });
}

void StealthChecker::run(const Rect& panelFrame, const Screen& screen,
                         std::function<void(bool)> showPattern) {
    hidePattern();
    wait_.cancel();
    ++runId_;
    check_ = std::make_unique<Check>();
    check_->panelFrame = panelFrame;
    check_->screen = screen;
    check_->showPattern = std::move(showPattern);
    status.set(Status::of(Status::Kind::preparing));
    evidence.set(std::nullopt);
    services_.capture.shareableDisplays(
        guarded([this](const ScreenCapture::DisplaysResult& r) { chooseDisplay(r); }));
}

void StealthChecker::chooseDisplay(const ScreenCapture::DisplaysResult& result) {
    if (const auto* error = std::get_if<ScreenCaptureError>(&result)) {
        fail(describe(*error));
        return;
    }
    // Only the panel's own display will do: another display's image holds other pixels
    // where the panel's frame falls, and would read as "not visible".
    const auto& displays = std::get<std::vector<CaptureDisplay>>(result);
    const auto& target = check_->screen.deviceIdentifier;
    const CaptureDisplay* chosen = nullptr;
    for (const auto& d : displays)
        if (!chosen && target && d.id == *target) chosen = &d;
    if (!chosen) {
        fail(kDisplayNotFound);
        return;
    }
    check_->display = *chosen;
    check_->isPatternShown = true;
    check_->showPattern(true);
    wait_ = services_.runLoop.schedule(kPatternSettleSeconds, guarded([this] {
                                           status.set(Status::of(Status::Kind::capturing));
                                           takeScreenshot();
                                       }));
}

void StealthChecker::takeScreenshot() {
    const CaptureRequest request{check_->display.id, check_->display.widthPixels,
                                 check_->display.heightPixels};
    services_.capture.screenshot(
        request, guarded([this](const ScreenCapture::ImageResult& r) { measure(r); }));
}

void StealthChecker::measure(const ScreenCapture::ImageResult& result) {
    if (const auto* error = std::get_if<ScreenCaptureError>(&result)) {
        fail(describe(*error));
        return;
    }
    const auto& image = std::get<CapturedImage>(result);
    const PixelRect region =
        StealthMeasure::panelRegion(check_->panelFrame, check_->screen.frame,
                                    check_->display.widthPixels, check_->display.heightPixels);
    const double ratio = StealthMeasure::patternRatio(image, region);
    if (ratio >= check_->bestRatio) {  // on equal ratios the later screenshot wins
        check_->bestRatio = ratio;
        check_->bestCrop = image.cropped(region);
    }
    ++check_->screenshotsTaken;
    wait_ = services_.runLoop.schedule(kScreenshotIntervalSeconds, guarded([this] {
                                           if (check_->screenshotsTaken < kScreenshotCount)
                                               takeScreenshot();
                                           else
                                               finish();
                                       }));
}

void StealthChecker::finish() {
    if (check_->bestCrop) {
        const Size half{double(check_->bestCrop->width / 2), double(check_->bestCrop->height / 2)};
        evidence.set(Evidence{std::move(*check_->bestCrop), half});
    }
    const double best = check_->bestRatio;
    const StealthResult result{best >= kVisibilityThreshold, services_.osVersion,
                               services_.runLoop.clock().now(), best};
    Prefs::set(Prefs::Keys::lastStealthResult(), result);
    status.set(Status::done(result));
    logger().notice(format("Verificación de discreción: visible=%s, patrón=%f",
                           result.isVisible ? "true" : "false", best));
    hidePattern();
    check_.reset();
}

void StealthChecker::fail(std::string message) {
    hidePattern();
    status.set(Status::failed(std::move(message)));
    check_.reset();
}

void StealthChecker::hidePattern() {
    if (!check_ || !check_->isPatternShown) return;
    check_->isPatternShown = false;
    check_->showPattern(false);
}

}  // namespace vorela
