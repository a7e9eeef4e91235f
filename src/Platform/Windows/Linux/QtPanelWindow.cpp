#include "Platform/Windows/Linux/QtPanelWindow.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Platform/Windows/Linux/X11BlurBehind.h"

namespace vorela {

namespace {

// How close to an edge a press starts a resize, in points.
constexpr int kResizeMargin = 6;

Rect primaryRect() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return {};
    const QRect r = primary->geometry();
    return {double(r.x()), double(r.y()), double(r.width()), double(r.height())};
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

}  // namespace

QtPanelWindow::QtPanelWindow(const Rect& frame)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setObjectName("prompterPanel");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    requested_ = toQt(frame);
    setGeometry(requested_);
    lastReported_ = frame;
    winId();  // the native window exists from here on, so its properties can be set
    applyX11State();
    qApp->installEventFilter(this);
}

QtPanelWindow::~QtPanelWindow() { qApp->removeEventFilter(this); }

void QtPanelWindow::setContent(QWidget* content) {
    if (content_) delete content_;
    content_ = content;
    layout()->addWidget(content);
}

void QtPanelWindow::applyX11State() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return;  // not on X11 (the offscreen platform of the tests)
    const auto window = static_cast<xcb_window_t>(winId());
    // Read by the window manager when the window is mapped; Qt adds its own states to
    // these (above, stays on top) instead of replacing them.
    const std::array<xcb_atom_t, 3> states{internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           internAtom(c, "_NET_WM_STATE_SKIP_PAGER"),
                                           internAtom(c, "_NET_WM_STATE_STICKY")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, internAtom(c, "_NET_WM_STATE"),
                        XCB_ATOM_ATOM, 32, states.size(), states.data());
    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, internAtom(c, "_NET_WM_DESKTOP"),
                        XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(c);
    X11BlurBehind::request(c, window, blursBackground_);
}

void QtPanelWindow::setBlursBackground(bool blurs) {
    blursBackground_ = blurs;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* c = x11 ? x11->connection() : nullptr)
        X11BlurBehind::request(c, static_cast<xcb_window_t>(winId()), blurs);
}

QRect QtPanelWindow::toQt(const Rect& frame) const {
    const Rect r = toTopLeftSpace(frame, primaryRect());
    return QRect(int(std::lround(r.x)), int(std::lround(r.y)), int(std::lround(r.width)),
                 int(std::lround(r.height)));
}

Rect QtPanelWindow::frame() const {
    const QRect g = geometry();
    return fromTopLeftSpace({double(g.x()), double(g.y()), double(g.width()), double(g.height())},
                            primaryRect());
}

Rect QtPanelWindow::frameOnScreen() const {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !isVisible()) return frame();
    const auto window = static_cast<xcb_window_t>(winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto* at = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root, 0, 0),
                                               nullptr);
    auto* size = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    Rect result = frame();
    if (at && size) {
        // The server counts native pixels; desktop points are Qt's device-independent ones.
        const double scale = devicePixelRatioF();
        result = fromTopLeftSpace(
            {at->dst_x / scale, at->dst_y / scale, size->width / scale, size->height / scale},
            primaryRect());
    }
    free(at);
    free(size);
    return result;
}

void QtPanelWindow::setFrame(const Rect& frame) {
    requested_ = toQt(frame);
    setGeometry(requested_);
    update();
    frameMayHaveChanged();
}

void QtPanelWindow::setBehavior(const PanelWindowBehavior& behavior) {
    behavior_ = behavior;
    if (behavior.isResizable) {
        setMinimumSize(int(behavior.minSize.width), int(behavior.minSize.height));
        setMaximumSize(int(behavior.maxSize.width), int(behavior.maxSize.height));
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void QtPanelWindow::orderFront() {
    // The manager ignores these properties on a mapped window, and drops them on unmap.
    if (!isVisible()) applyX11State();
    show();
    raise();
}

void QtPanelWindow::orderOut() { hide(); }

void QtPanelWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Under a window manager Qt sometimes keeps 0,0 after mapping (a reparenting race);
    // asking again once the map is through puts the panel where it belongs.
    QTimer::singleShot(0, this, [this] {
        if (geometry() != requested_) setGeometry(requested_);
    });
}

void QtPanelWindow::setIgnoresMouseEvents(bool ignores) {
    if (ignores == ignoresMouse_) return;
    ignoresMouse_ = ignores;
    if (QWindow* window = windowHandle()) window->setFlag(Qt::WindowTransparentForInput, ignores);
    if (!ignores) return;
    // No leave event follows once the pointer cannot reach the panel: the hover would stay
    // on and keep playback paused. Give every widget under the pointer its exit now.
    const auto widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->testAttribute(Qt::WA_UnderMouse)) continue;
        w->setAttribute(Qt::WA_UnderMouse, false);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(w, &leave);
    }
    setAttribute(Qt::WA_UnderMouse, false);
}

Subscription QtPanelWindow::observeFrameChanges(std::function<void()> onChange) {
    return frameObservers_.add(std::move(onChange));
}

Subscription QtPanelWindow::observeClose(std::function<void()> onClose) {
    return closeObservers_.add(std::move(onClose));
}

void QtPanelWindow::closeEvent(QCloseEvent* event) {
    // The panel is never closed, only ordered out: its owner must hear that it is gone.
    event->ignore();
    hide();
    closeObservers_.notify();
}

void QtPanelWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    frameMayHaveChanged();
}

void QtPanelWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    frameMayHaveChanged();
}

void QtPanelWindow::frameMayHaveChanged() {
    const Rect now = frame();
    if (now == lastReported_) return;
    lastReported_ = now;
    frameObservers_.notify();
}

bool QtPanelWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !windowHandle()) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint local = mapFromGlobal(mouse->globalPosition().toPoint());
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        if (behavior_.isResizable) {
            Qt::Edges edges;
            if (local.x() < kResizeMargin) edges |= Qt::LeftEdge;
            if (local.x() >= width() - kResizeMargin) edges |= Qt::RightEdge;
            if (local.y() < kResizeMargin) edges |= Qt::TopEdge;
            if (local.y() >= height() - kResizeMargin) edges |= Qt::BottomEdge;
            if (edges && windowHandle()->startSystemResize(edges)) return true;
        }
        pressed_ = true;
        pressPosition_ = local;
        return false;
    }
    if (type == QEvent::MouseButtonRelease) {
        pressed_ = false;
        return false;
    }
    const bool dragged =
        (local - pressPosition_).manhattanLength() >= QApplication::startDragDistance();
    if (pressed_ && behavior_.isMovableByBackground && (mouse->buttons() & Qt::LeftButton) &&
        dragged) {
        pressed_ = false;
        return windowHandle()->startSystemMove();
    }
    return false;
}

}  // namespace vorela
