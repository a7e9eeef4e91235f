#pragma once

#include <memory>

#include "Platform/Capture/ScreenCapture.h"

namespace vorela {

class RunLoop;

// Captures from the X server's root window (every window as the server composes it, the
// pointer left out), one screen's rectangle at a time; screens are Qt's, named by output.
// Under a Wayland session, or without an X connection, every request answers
// permissionDenied: the X root there does not show what a screen share sees. The pixels
// are read on the main thread (about 20 ms for a 1920 × 1080 screen).
class X11ScreenCapture final : public ScreenCapture {
public:
    explicit X11ScreenCapture(RunLoop& loop);

    void shareableDisplays(std::function<void(DisplaysResult)> completion) override;
    void screenshot(const CaptureRequest& request,
                    std::function<void(ImageResult)> completion) override;

    // Whether this session lets us read the screen at all.
    static bool isAvailable();

private:
    RunLoop& loop_;
};

}  // namespace vorela
