#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "Platform/Capture/CapturedImage.h"

namespace vorela {

enum class ScreenCaptureError {
    permissionDenied,  // the session does not let this program read the screen
    captureFailed,     // the display server refused or broke off the capture
    displayGone,       // the display was disconnected since it was listed
};

// The Spanish text the user reads for an error.
std::string describe(ScreenCaptureError error);

// A display that can be captured: its identifier (the same text as the screen's device
// identifier) and its size in pixels, which is its size in points times the scale.
struct CaptureDisplay {
    std::string id;
    int widthPixels = 0;
    int heightPixels = 0;
    bool operator==(const CaptureDisplay&) const = default;
};

// What one screenshot asks for. The pointer is never drawn.
struct CaptureRequest {
    std::string displayId;
    int widthPixels = 0;
    int heightPixels = 0;
};

// Reads what the displays show, every window included, as a screen share would.
//
// Main thread only. Each completion runs exactly once, later, on the main thread (never
// inside the call that asked for it); a caller that may be gone by then holds itself
// weakly in the completion.
class ScreenCapture {
public:
    using DisplaysResult = std::variant<std::vector<CaptureDisplay>, ScreenCaptureError>;
    using ImageResult = std::variant<CapturedImage, ScreenCaptureError>;

    virtual ~ScreenCapture() = default;
    // The displays on screen now; asking is what a permission check would answer.
    virtual void shareableDisplays(std::function<void(DisplaysResult)> completion) = 0;
    virtual void screenshot(const CaptureRequest& request,
                            std::function<void(ImageResult)> completion) = 0;
};

}  // namespace vorela
