#include "Platform/Capture/Linux/X11ScreenCapture.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "Platform/Loop/RunLoop.h"

namespace vorela {

namespace {

xcb_connection_t* connection() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

bool isWaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return (type && std::string_view(type) == "wayland") || std::getenv("WAYLAND_DISPLAY");
}

// The screen's rectangle on the root window, in pixels.
struct NativeScreen {
    std::string id;
    int x = 0, y = 0, width = 0, height = 0;
};

std::vector<NativeScreen> nativeScreens() {
    std::vector<NativeScreen> result;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const double scale = s->devicePixelRatio();
        result.push_back({s->name().toStdString(), int(std::lround(g.x() * scale)),
                          int(std::lround(g.y() * scale)), int(std::lround(g.width() * scale)),
                          int(std::lround(g.height() * scale))});
    }
    return result;
}

int maskShift(uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

const xcb_visualtype_t* rootVisual(const xcb_screen_t* screen) {
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual) return v.data;
    return nullptr;
}

int bitsPerPixel(xcb_connection_t* c, uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == depth) return f.data->bits_per_pixel;
    return 0;
}

ScreenCapture::ImageResult grab(const NativeScreen& area) {
    xcb_connection_t* c = connection();
    if (!c) return ScreenCaptureError::permissionDenied;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_visualtype_t* visual = rootVisual(screen);
    // True colour at 32 bits per pixel is what every current X server serves.
    if (!visual || bitsPerPixel(c, screen->root_depth) != 32) {
        return ScreenCaptureError::captureFailed;
    }
    const auto cookie =
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(area.x), int16_t(area.y),
                      uint16_t(area.width), uint16_t(area.height), ~0u);
    xcb_generic_error_t* error = nullptr;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(c, cookie, &error);
    std::free(error);
    if (!reply) return ScreenCaptureError::captureFailed;
    const uint8_t* data = xcb_get_image_data(reply);
    const std::size_t length = std::size_t(xcb_get_image_data_length(reply));
    CapturedImage image;
    image.width = area.width;
    image.height = area.height;
    const std::size_t pixels = std::size_t(area.width) * std::size_t(area.height);
    if (length < pixels * 4) {
        std::free(reply);
        return ScreenCaptureError::captureFailed;
    }
    image.rgba.resize(pixels * 4);
    const int r = maskShift(visual->red_mask), g = maskShift(visual->green_mask),
              b = maskShift(visual->blue_mask);
    for (std::size_t i = 0; i < pixels; ++i) {
        uint32_t p = 0;
        std::memcpy(&p, data + i * 4, 4);  // the server answers in our byte order
        image.rgba[i * 4] = uint8_t(p >> r);
        image.rgba[i * 4 + 1] = uint8_t(p >> g);
        image.rgba[i * 4 + 2] = uint8_t(p >> b);
        image.rgba[i * 4 + 3] = 0xFF;
    }
    std::free(reply);
    return image;
}

}  // namespace

X11ScreenCapture::X11ScreenCapture(RunLoop& loop) : loop_(loop) {}

bool X11ScreenCapture::isAvailable() { return connection() && !isWaylandSession(); }

void X11ScreenCapture::shareableDisplays(std::function<void(DisplaysResult)> completion) {
    DisplaysResult result = ScreenCaptureError::permissionDenied;
    if (isAvailable()) {
        std::vector<CaptureDisplay> displays;
        for (const auto& s : nativeScreens()) displays.push_back({s.id, s.width, s.height});
        result = std::move(displays);
    }
    loop_.post(
        [completion = std::move(completion), result = std::move(result)] { completion(result); });
}

void X11ScreenCapture::screenshot(const CaptureRequest& request,
                                  std::function<void(ImageResult)> completion) {
    ImageResult result = ScreenCaptureError::permissionDenied;
    if (isAvailable()) {
        result = ScreenCaptureError::displayGone;
        for (const auto& s : nativeScreens())
            if (s.id == request.displayId) result = grab(s);
    }
    loop_.post(
        [completion = std::move(completion), result = std::move(result)] { completion(result); });
}

}  // namespace vorela
