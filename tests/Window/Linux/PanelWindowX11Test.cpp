#include <xcb/xcb.h>

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "App/AppStateEnvironment.h"
#include "App/PanelController.h"
#include "App/Qt/QtPanelFactory.h"
#include "Platform/Input/Linux/QtInput.h"
#include "Platform/Screens/Linux/QtScreens.h"
#include "Platform/Windows/Linux/QtPanelWindow.h"
#include "Render/Qt/PrompterTextWidget.h"
#include "Support/XDesktop.h"
#include "Window/PanelPlacement.h"

namespace vorela {
namespace {

namespace Keys = Prefs::Keys;
constexpr uint32_t kBelowColour = 0x12AB34;  // the window under the panel

xcb_atom_t atomOf(xcb_connection_t* c, const char* name) {
    auto* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// A plain window of another client, filling the screen under the panel, that counts the
// clicks it receives.
class WindowBelow {
public:
    WindowBelow() : c_(xcb_connect(nullptr, nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        id_ = xcb_generate_id(c_);
        const uint32_t values[] = {kBelowColour, XCB_EVENT_MASK_BUTTON_PRESS};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, id_, screen->root, 0, 0, 1280, 800, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_map_window(c_, id_);
        xcb_flush(c_);
        QTest::qWait(200);
        testing::run({"xdotool", "windowactivate", "--sync", std::to_string(id_)});
    }
    ~WindowBelow() { xcb_disconnect(c_); }
    WindowBelow(const WindowBelow&) = delete;
    WindowBelow& operator=(const WindowBelow&) = delete;

    uint32_t id() const { return id_; }
    int clicks() {
        std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
            if ((e->response_type & 0x7f) == XCB_BUTTON_PRESS) ++clicks_;
            std::free(e);
        }
        return clicks_;
    }
    // The panel's place on the screen as the server has it (Qt may report 0,0 under a
    // window manager right after mapping).
    QRect onScreen(WId window) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        auto* at = xcb_translate_coordinates_reply(
            c_, xcb_translate_coordinates(c_, xcb_window_t(window), screen->root, 0, 0), nullptr);
        auto* geometry =
            xcb_get_geometry_reply(c_, xcb_get_geometry(c_, xcb_window_t(window)), nullptr);
        QRect r;
        if (at && geometry) r = QRect(at->dst_x, at->dst_y, geometry->width, geometry->height);
        std::free(at);
        std::free(geometry);
        return r;
    }

    // Asks the window manager to close a window, as its close button or menu would.
    void askManagerToClose(WId window) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = xcb_window_t(window);
        event.type = atom("_NET_CLOSE_WINDOW");
        event.data.data32[1] = 2;  // from a pager or another tool, not the application
        xcb_send_event(c_, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c_);
    }

private:
    xcb_atom_t atom(const char* name) { return atomOf(c_, name); }

    xcb_connection_t* c_;
    uint32_t id_ = 0;
    int clicks_ = 0;
};

// Plays a compositor that blurs behind windows, as KWin announces its blur: a property of
// the blur's name on the root window, or the name listed in _NET_SUPPORTED. Reads a
// window's blur request. Undoes every announcement when it goes.
// Flushed is not processed: another client's request may be served first unless this
// connection waits for a reply.
void roundTrip(xcb_connection_t* c) {
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

class BlurCompositor {
public:
    BlurCompositor() : c_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        blur_ = atom("_KDE_NET_WM_BLUR_BEHIND_REGION");
        supported_ = atom("_NET_SUPPORTED");
        auto* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, root_, supported_, XCB_ATOM_ATOM, 0, 4096), nullptr);
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        supportedBefore_.assign(atoms, atoms + xcb_get_property_value_length(reply) / 4);
        std::free(reply);
        withdraw();
    }
    ~BlurCompositor() {
        withdraw();
        xcb_disconnect(c_);
    }
    BlurCompositor(const BlurCompositor&) = delete;
    BlurCompositor& operator=(const BlurCompositor&) = delete;

    void announceOnRoot() {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, root_, blur_, XCB_ATOM_CARDINAL, 32, 0,
                            nullptr);
        roundTrip(c_);
    }
    void announceInSupported() {
        xcb_change_property(c_, XCB_PROP_MODE_APPEND, root_, supported_, XCB_ATOM_ATOM, 32, 1,
                            &blur_);
        roundTrip(c_);
    }
    void withdraw() {
        xcb_delete_property(c_, root_, blur_);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, root_, supported_, XCB_ATOM_ATOM, 32,
                            uint32_t(supportedBefore_.size()), supportedBefore_.data());
        roundTrip(c_);
    }
    // The window's request: "none", or its type and length ("CARDINAL[0]": the whole window).
    std::string requestOf(WId window) {
        roundTrip(qApp->nativeInterface<QNativeInterface::QX11Application>()->connection());
        auto* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, xcb_window_t(window), blur_, XCB_ATOM_ANY, 0, 64), nullptr);
        std::string result = "none";
        if (reply && reply->type == XCB_ATOM_CARDINAL) {
            result = "CARDINAL[" + std::to_string(xcb_get_property_value_length(reply) / 4) + "]";
        } else if (reply && reply->type != XCB_ATOM_NONE) {
            result = "other type";
        }
        std::free(reply);
        return result;
    }

private:
    xcb_atom_t atom(const char* name) { return atomOf(c_, name); }

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
    xcb_atom_t blur_ = 0, supported_ = 0;
    std::vector<xcb_atom_t> supportedBefore_;
};

class PanelWindowX11Test : public testing::AppStateTest {
protected:
    void SetUp() override {
        if (!testing::XDesktop::shared().isReady()) GTEST_SKIP() << "needs Xvfb and openbox";
        AppState& state = makeState();
        below_ = std::make_unique<WindowBelow>();
        screens_ = std::make_unique<QtScreens>();
        factory_ = std::make_unique<QtPanelFactory>(state, loop_);
        controller_ = std::make_unique<PanelController>(
            PanelController::Services{state, loop_, *screens_, input_, *factory_});
    }
    void TearDown() override {
        controller_.reset();
        QTest::qWait(50);
    }
    QtPanelWindow& window() { return *dynamic_cast<QtPanelWindow*>(controller_->panel()); }
    void settle() {
        for (int i = 0; i < 10; ++i) {
            loop_.advanceBy(0.1);  // a second in all: hover delay and fade are over
            QTest::qWait(30);
        }
    }
    // The whole screen with the panel's place on it; saved under the build's artifacts.
    QImage screenshot(const char* name, QRect* panel) {
        settle();
        *panel = below_->onScreen(window().winId());
        const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QDir().mkpath("artifacts");
        image.save(QDir::current().absoluteFilePath(QString("artifacts/") + name));
        return image;
    }
    static int count(const QImage& image, const QRect& area, bool (*wanted)(QRgb)) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += wanted(image.pixel(x, y));
        return n;
    }
    static bool isText(QRgb p) { return qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) > 120; }
    static bool isMagenta(QRgb p) { return (p & 0xFFFFFF) == 0xFF00FF; }
    static bool isBelow(QRgb p) { return (p & 0xFFFFFF) == kBelowColour; }

    std::unique_ptr<WindowBelow> below_;
    std::unique_ptr<QtScreens> screens_;
    QtInput input_;
    std::unique_ptr<QtPanelFactory> factory_;
    std::unique_ptr<PanelController> controller_;
};

TEST_F(PanelWindowX11Test, TheWindowManagerKeepsThePanelAboveEverywhereAndOutOfTheTaskBar) {
    controller_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    settle();
    const std::string props =
        testing::commandOutput("xprop -id " + std::to_string(window().winId()));
    for (const char* expected :
         {"_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR",
          "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_DESKTOP(CARDINAL) = 4294967295",
          "Client accepts input or input focus: False"}) {
        SCOPED_TRACE(expected);
        EXPECT_NE(props.find(expected), std::string::npos) << props;
    }
    EXPECT_EQ(testing::commandOutput("xdotool getactivewindow"),
              std::to_string(below_->id()) + "\n")
        << "showing the panel leaves the focus where it was";
    EXPECT_FALSE(window().isExcludedFromCapture());
}

TEST_F(PanelWindowX11Test, ThePanelStaysOnEveryDesktopAfterHidingAndAfterTheManagerClosedIt) {
    // After a hide and a show the panel showed in the task bar and stayed behind on its
    // desktop: the manager drops the states of a withdrawn window, and they were set once.
    const auto expectEverywhereAndOutOfTheTaskBar = [&](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        settle();
        const std::string props =
            testing::commandOutput("xprop -id " + std::to_string(window().winId()));
        for (const char* expected :
             {"_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR",
              "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_DESKTOP(CARDINAL) = 4294967295"}) {
            EXPECT_NE(props.find(expected), std::string::npos) << expected << "\n" << props;
        }
        // Another desktop shows it too.
        testing::run({"xdotool", "set_desktop", "1"});
        settle();
        EXPECT_NE(testing::commandOutput("xwininfo -id " + std::to_string(window().winId()))
                      .find("IsViewable"),
                  std::string::npos);
        testing::run({"xdotool", "set_desktop", "0"});
        settle();
    };
    controller_->show();
    expectEverywhereAndOutOfTheTaskBar("first show");
    controller_->hide();
    settle();
    controller_->show();
    expectEverywhereAndOutOfTheTaskBar("shown again");

    // The window manager closes it: the panel is hidden, and one toggle brings it back.
    below_->askManagerToClose(window().winId());
    for (int i = 0; i < 40 && window().isVisible(); ++i) QTest::qWait(50);
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(controller_->isVisible.get());
    controller_->toggle();
    expectEverywhereAndOutOfTheTaskBar("after the manager closed it");
    QRect frame;
    EXPECT_GT(count(screenshot("panel-after-manager-close.png", &frame), frame, isText), 0);
}

TEST_F(PanelWindowX11Test, DraggingTheFloatingPanelMovesItOnlyAndItsSizeStillFollowsTheSliders) {
    // Dragging the panel by its text also jumped the script to the word pressed; once
    // dragged, the width and height set by hand no longer reached the panel.
    controller_->setMode(PanelMode::floating);
    controller_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    settle();
    const QRect before = below_->onScreen(window().winId());
    const QPoint from = before.center() + QPoint(0, 40);
    const auto at = [](QPoint p) {
        return std::vector<std::string>{std::to_string(p.x()), std::to_string(p.y())};
    };
    const auto xdotool = [&](const std::string& verb, QPoint p, const std::string& then) {
        testing::run({"xdotool", verb, at(p)[0], at(p)[1], then, "1"});
    };
    xdotool("mousemove", from, "mousedown");
    for (int step = 1; step <= 6; ++step) {
        testing::run({"xdotool", "mousemove", std::to_string(from.x() + 10 * step),
                      std::to_string(from.y() + 25 * step)});
        QTest::qWait(30);
    }
    testing::run({"xdotool", "mouseup", "1"});
    settle();
    QRect panel;
    const QImage dragged = screenshot("panel-dragged.png", &panel);
    EXPECT_GT(panel.top(), before.top() + 50) << "the panel went down with the pointer";
    EXPECT_EQ(state_->currentTokenIndex.get(), 0) << "no word was picked by the drag";
    EXPECT_EQ(state_->scrollEngine().targetY(), 0) << "the script did not scroll";
    EXPECT_GT(count(dragged, panel, isText), 0);

    controller_->setWidth(820);
    settle();
    QRect resized = below_->onScreen(window().winId());
    EXPECT_EQ(resized.width(), 820);
    EXPECT_EQ(resized.topLeft(), panel.topLeft()) << "the top-left corner stays where dragged";
    controller_->setHeight(260);
    settle();
    resized = below_->onScreen(window().winId());
    EXPECT_EQ(resized.size(), QSize(820, 260));
    EXPECT_EQ(resized.topLeft(), panel.topLeft());

    // A click without a drag still picks the word under the pointer.
    testing::run({"xdotool", "mousemove", std::to_string(resized.center().x()),
                  std::to_string(resized.bottom() - 40), "click", "1"});
    settle();
    EXPECT_GT(state_->currentTokenIndex.get(), 0);
    testing::run({"xdotool", "mousemove", "5", "790"});
}

TEST_F(PanelWindowX11Test, AResizedPanelShowsTheWordBeingReadOnTheReadingLineAtOnce) {
    // After a resize the reading line showed other words until playback moved: the
    // scroll kept its offset while the new width had moved every word.
    controller_->setMode(PanelMode::floating);
    controller_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    state_->jumpToToken(60);
    const PrompterTextView& text = window().findChild<PrompterTextWidget*>()->view();
    for (int i = 0; i < 10 && std::abs(text.scrollY() - *text.scrollOffsetForToken(60)) > 0.5; ++i)
        settle();
    ASSERT_NEAR(text.scrollY(), *text.scrollOffsetForToken(60), 0.5) << "eased onto word 60";

    controller_->setWidth(380);
    QTest::qWait(100);  // the window system's resize reaches the text view
    EXPECT_NE(text.lastLayoutWidth(), 0);
    EXPECT_EQ(text.scrollY(), *text.scrollOffsetForToken(60));
    QRect panel;
    EXPECT_GT(count(screenshot("panel-resized-reading-line.png", &panel), panel, isText), 0);
}

TEST_F(PanelWindowX11Test, ScreenshotsOfEachPlacementShowTextPatternAndSeeThroughCorners) {
    testing::run({"xdotool", "mousemove", "640", "700"});  // away from the panel: no hover bar
    controller_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    QRect panel;
    struct Case {
        const char* name;
        PanelMode mode;
        MirrorMode mirror;
    } cases[] = {
        {"panel-notch-fallback.png", PanelMode::notch, MirrorMode::none},
        {"panel-floating-horizontal.png", PanelMode::floating, MirrorMode::horizontal},
        {"panel-floating-vertical.png", PanelMode::floating, MirrorMode::vertical},
        {"panel-fullscreen-rotated180.png", PanelMode::fullscreen, MirrorMode::rotated180},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        controller_->setMode(c.mode);
        state_->setMirrorMode(c.mirror);
        const QImage image = screenshot(c.name, &panel);
        ASSERT_FALSE(panel.isEmpty());
        if (c.mode == PanelMode::fullscreen) {
            // The window below starts under its title bar: the screen's corner shows the root.
            EXPECT_EQ(panel, QRect(0, 0, 1280, 800));
            EXPECT_GT(count(image, panel, isText), 200) << "script text is drawn";
            continue;
        }
        EXPECT_GT(count(image, panel, isText), 200) << "script text is drawn";
        EXPECT_TRUE(isBelow(image.pixel(panel.bottomRight())))
            << "a rounded corner shows what is below";
        EXPECT_FALSE(isBelow(image.pixel(panel.center())));
    }

    controller_->setMode(PanelMode::floating);
    testing::run({"xdotool", "mousemove", "600", "600", "mousemove", "640", "700"});
    state_->showsStealthTestPattern.set(true);
    const QImage pattern = screenshot("panel-test-pattern.png", &panel);
    // Above the hover bar, which may be drawn over the pattern.
    const QRect fill = panel.adjusted(0, 0, 0, -40);
    EXPECT_GT(count(pattern, fill, isMagenta), fill.width() * fill.height() * 95 / 100);
    EXPECT_EQ(count(pattern, fill.adjusted(16, 16, -16, 0), isText), 0)
        << "no script while the pattern shows";
    EXPECT_TRUE(isBelow(pattern.pixel(panel.bottomLeft())));
    state_->showsStealthTestPattern.set(false);
}

TEST_F(PanelWindowX11Test, ClickThroughPassesClicksToTheWindowBelow) {
    Prefs::set(Keys::panelMode(), PanelMode::floating);
    controller_->setMode(PanelMode::floating);
    controller_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    settle();
    const QPoint centre = below_->onScreen(window().winId()).center();
    const auto clickAtCentre = [&] {
        testing::run({"xdotool", "mousemove", std::to_string(centre.x()),
                      std::to_string(centre.y()), "click", "1"});
        settle();
    };
    clickAtCentre();
    EXPECT_EQ(below_->clicks(), 0) << "the panel takes its own clicks";
    EXPECT_EQ(testing::commandOutput("xdotool getactivewindow"),
              std::to_string(below_->id()) + "\n")
        << "a click on the panel takes no focus";

    Prefs::set(Keys::passThrough(), true);
    controller_->applyPassThrough();
    EXPECT_TRUE(state_->isPassThroughActive.get());
    clickAtCentre();
    EXPECT_EQ(below_->clicks(), 1) << "the click went through to the window below";
    EXPECT_FALSE(state_->isHovering.get()) << "no hover left behind";
}

// The glass background asks a compositor that offers blur to blur behind the panel, and
// takes the request back when switched off; without such a compositor it asks nothing.
TEST_F(PanelWindowX11Test, GlassAsksForBlurBehindThePanelWhereTheCompositorOffersIt) {
    BlurCompositor compositor;
    const auto setGlass = [&](bool on) {
        Prefs::set(Keys::glassBackground(), on);
        loop_.runUntilIdle();
    };
    controller_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    setGlass(true);
    EXPECT_EQ(compositor.requestOf(window().winId()), "none") << "openbox alone blurs nothing";

    compositor.announceOnRoot();
    setGlass(false);
    setGlass(true);
    EXPECT_EQ(compositor.requestOf(window().winId()), "CARDINAL[0]")
        << "an empty region: behind the whole panel";
    QRect panel;
    const QImage image = screenshot("panel-glass-blur-requested.png", &panel);
    EXPECT_EQ(count(image, panel.adjusted(12, 12, -12, -12), isBelow), 0)
        << "without a running compositor the glass panel still covers what lies below";
    setGlass(false);
    EXPECT_EQ(compositor.requestOf(window().winId()), "none");

    // Announced in _NET_SUPPORTED instead; a compositor that starts while the panel is
    // hidden is found at the next show.
    compositor.withdraw();
    setGlass(true);
    controller_->hide();
    settle();
    compositor.announceInSupported();
    controller_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    EXPECT_EQ(compositor.requestOf(window().winId()), "CARDINAL[0]");
    compositor.withdraw();
    controller_->hide();
    settle();
    controller_->show();
    EXPECT_EQ(compositor.requestOf(window().winId()), "none")
        << "a compositor gone: no stale request for the next one";
}

}  // namespace
}  // namespace vorela
