#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include "Platform/Keys/DesktopKeyBindings.h"
#include "Platform/Keys/Linux/X11HotKeyRegistrar.h"
#include "Support/RecordingLogSink.h"
#include "Support/XvfbServer.h"

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <unistd.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Keys/Linux/XkbKeyboardLayout.h"
#include "Platform/Log/Log.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Shortcuts/Context.h"
#include "Shortcuts/Shortcuts.h"

namespace vorela {
namespace {

using namespace Shortcuts;
using testing::isOnPath;
using testing::run;
using testing::XvfbServer;

// The server's key code for an XKB key name, read as another client would.
xcb_keycode_t serverKeyCode(xcb_connection_t* connection, const char* name) {
    xkb_x11_setup_xkb_extension(connection, 1, 0, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr,
                                nullptr, nullptr, nullptr);
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = xkb_x11_keymap_new_from_device(
        context, connection, xkb_x11_get_core_keyboard_device_id(connection),
        XKB_KEYMAP_COMPILE_NO_FLAGS);
    const xkb_keycode_t keycode = keymap ? xkb_keymap_key_by_name(keymap, name) : 0;
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return static_cast<xcb_keycode_t>(keycode);
}

class X11HotKeyRegistrarTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!isOnPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed: no X server to test against";
        server_ = XvfbServer::start();
        ASSERT_TRUE(server_) << "Xvfb did not start";
        setenv("DISPLAY", server_->display().c_str(), 1);
        connection_ = xcb_connect(server_->display().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(connection_));
        registrar_ = std::make_unique<X11HotKeyRegistrar>(connection_);
        keyboard_ = XkbKeyboardLayout::connect(server_->display().c_str());
        ASSERT_TRUE(keyboard_);
        context_ = std::make_unique<Context>(
            Context::Environment{loop_, defaults_, notifications_, *registrar_, *keyboard_});
        context_->makeCurrent();
    }
    void TearDown() override {
        context_.reset();
        registrar_.reset();
        keyboard_.reset();
        if (connection_) xcb_disconnect(connection_);
    }

    // Everything the server sent before a round trip has arrived once its reply has.
    void pump() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
        registrar_->processPendingEvents();
        loop_.runUntilIdle();
    }
    void keys(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        ASSERT_EQ(run(arguments), 0) << "xdotool failed";
        pump();
    }
    // Locks exactly the given modifiers, as the Num Lock and Caps Lock keys would.
    void lockModifiers(std::uint8_t mask) {
        xcb_connection_t* helper = xcb_connect(server_->display().c_str(), nullptr);
        std::free(
            xcb_xkb_use_extension_reply(helper, xcb_xkb_use_extension(helper, 1, 0), nullptr));
        std::free(xcb_request_check(
            helper, xcb_xkb_latch_lock_state_checked(helper, XCB_XKB_ID_USE_CORE_KBD, 0xFF, mask, 0,
                                                     0, 0, 0, 0)));
        auto* state = xcb_xkb_get_state_reply(
            helper, xcb_xkb_get_state(helper, XCB_XKB_ID_USE_CORE_KBD), nullptr);
        ASSERT_TRUE(state);
        EXPECT_EQ(state->lockedMods, mask);
        std::free(state);
        xcb_disconnect(helper);
    }

    ManualRunLoop loop_;
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    NotificationCenter notifications_{loop_};
    std::unique_ptr<XvfbServer> server_;
    xcb_connection_t* connection_ = nullptr;
    std::unique_ptr<X11HotKeyRegistrar> registrar_;
    std::unique_ptr<XkbKeyboardLayout> keyboard_;
    std::unique_ptr<Context> context_;
};

constexpr std::uint8_t kNumLock = XCB_MOD_MASK_2;  // where Xvfb's keymap puts Num Lock

// --- Grabs and events ---

TEST_F(X11HotKeyRegistrarTest, AltSpaceAndAltRRunTheirHandlersOncePerPressWhateverTheLocks) {
    const Name play = Name::declare("togglePlay", Shortcut(Key::space, ModifierFlags::option));
    const Name restart = Name::declare("restart", Shortcut(Key::r, ModifierFlags::option));
    int plays = 0, playReleases = 0, restarts = 0;
    onKeyDown(play, [&] { ++plays; });
    onKeyUp(play, [&] { ++playReleases; });
    onKeyDown(restart, [&] { ++restarts; });
    ASSERT_TRUE(isEnabled(play));
    ASSERT_TRUE(isEnabled(restart));

    struct Case {
        const char* name;
        std::uint8_t locks;
    };
    const Case cases[] = {
        {"no locks", 0},
        {"Num Lock", kNumLock},
        {"Num Lock and Caps Lock", kNumLock | XCB_MOD_MASK_LOCK},
        {"locks off again", 0},
    };
    int expected = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lockModifiers(c.locks);
        keys({"key", "alt+space", "alt+r"});
        ++expected;
        EXPECT_EQ(plays, expected);
        EXPECT_EQ(playReleases, expected);
        EXPECT_EQ(restarts, expected);
    }
    keys({"key", "space", "ctrl+r"});  // other modifiers are not ours
    EXPECT_EQ(plays, expected);
    EXPECT_EQ(restarts, expected);
}

TEST_F(X11HotKeyRegistrarTest, ReleasingTheModifierFirstStillEndsThePressOnce) {
    const Name play = Name::declare("togglePlay", Shortcut(Key::space, ModifierFlags::option));
    int downs = 0, ups = 0;
    onKeyDown(play, [&] { ++downs; });
    onKeyUp(play, [&] { ++ups; });
    keys({"keydown", "alt", "keydown", "space", "keyup", "alt", "keyup", "space"});
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(X11HotKeyRegistrarTest, AKeyAnotherClientGrabbedIsReportedRefusedAndLogged) {
    auto sink = std::make_shared<vorela::testing::RecordingLogSink>();
    const auto previous = Log::setSink(sink);
    xcb_connection_t* other = xcb_connect(server_->display().c_str(), nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    const xcb_keycode_t rCode = serverKeyCode(other, "AD04");
    ASSERT_FALSE(
        xcb_request_check(other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_1, rCode,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));

    const auto direct = registrar_->registerHotKey(15, 0x800, {1, 1});
    EXPECT_FALSE(direct.isRegistered());
    EXPECT_EQ(direct.error, HotKeyRegistrationError::refused);
    EXPECT_EQ(registrar_->systemShortcuts(), (std::vector<std::pair<int, int>>{{15, 0x800}}));

    const Name restart = Name::declare("restart", Shortcut(Key::r, ModifierFlags::option));
    int restarts = 0;
    onKeyDown(restart, [&] { ++restarts; });
    EXPECT_FALSE(isEnabled(restart));
    keys({"key", "alt+r"});
    EXPECT_EQ(restarts, 0);
    Log::setSink(previous);
    bool logged = false;
    for (const auto& line : sink->lines()) {
        logged |= line.find("shortcuts: No se pudo registrar el atajo global (tecla 15") == 0;
    }
    EXPECT_TRUE(logged);

    // Once the other client lets go, the next change registers the keys.
    std::free(xcb_request_check(other, xcb_ungrab_key_checked(other, rCode, root, XCB_MOD_MASK_1)));
    xcb_disconnect(other);
    enable({restart});
    EXPECT_TRUE(isEnabled(restart));
    keys({"key", "alt+r"});
    EXPECT_EQ(restarts, 1);
}

TEST_F(X11HotKeyRegistrarTest, KeysThatCannotBeGrabbedAreRefusedWithTheirReason) {
    EXPECT_EQ(registrar_->registerHotKey(63, 0x800, {1, 1}).error,
              HotKeyRegistrationError::unknownKey);  // fn has no X key
    EXPECT_EQ(registrar_->registerHotKey(15, 0x20000, {1, 2}).error,
              HotKeyRegistrationError::unsupportedModifiers);
    X11HotKeyRegistrar unavailable(nullptr);
    EXPECT_EQ(unavailable.registerHotKey(15, 0x800, {1, 3}).error,
              HotKeyRegistrationError::unavailable);
    EXPECT_FALSE(unavailable.installEventHandler({}, {}));
}

TEST_F(X11HotKeyRegistrarTest, WhileAMenuIsOpenOurWindowsKeysAreMatchedInstead) {
    const Name play = Name::declare("togglePlay", Shortcut(Key::space, ModifierFlags::option));
    int plays = 0;
    onKeyDown(play, [&] { ++plays; });

    // A window of ours with the keyboard focus stands in for the open menu.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const xcb_window_t window = xcb_generate_id(connection_);
    const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                      &events);
    xcb_map_window(connection_, window);
    pump();
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    notifications_.post(kMenuDidBeginTrackingNotification);
    EXPECT_EQ(context_->hotKeyCenter().mode(), HotKeyCenter::Mode::menuOpen);

    keys({"key", "alt+space", "alt+r"});
    EXPECT_EQ(plays, 1);

    notifications_.post(kMenuDidEndTrackingNotification);
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT,
                        XCB_CURRENT_TIME);
    keys({"key", "alt+space"});
    EXPECT_EQ(plays, 2);
}

TEST_F(X11HotKeyRegistrarTest, RegistrationsOnTheSameGrabShareItUntilTheLastGoes) {
    // 0x8800 has a bit X has no modifier for, so it is the same grab as Option-R: only the
    // first registration heard the key, and unregistering either released the grab of both.
    std::vector<std::uint32_t> heard;
    ASSERT_TRUE(registrar_->installEventHandler(
        [&](HotKeyIdentifier identifier, HotKeyEventKind kind) {
            if (kind == HotKeyEventKind::pressed) heard.push_back(identifier.id);
            return HotKeyEventResult::handled;
        },
        {}));
    const auto first = registrar_->registerHotKey(15, 0x800, {1, 1});
    const auto second = registrar_->registerHotKey(15, 0x8800, {1, 2});
    ASSERT_TRUE(first.isRegistered());
    ASSERT_TRUE(second.isRegistered());
    keys({"key", "alt+r"});
    EXPECT_EQ(heard, (std::vector<std::uint32_t>{1, 2}));

    const auto otherClientCanGrabAltR = [&] {
        xcb_connection_t* other = xcb_connect(server_->display().c_str(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
        xcb_generic_error_t* error = xcb_request_check(
            other,
            xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_1, serverKeyCode(other, "AD04"),
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        xcb_disconnect(other);
        return error == nullptr;
    };
    registrar_->unregisterHotKey(first.handle);
    EXPECT_FALSE(otherClientCanGrabAltR());
    heard.clear();
    keys({"key", "alt+r"});
    EXPECT_EQ(heard, (std::vector<std::uint32_t>{2}));
    registrar_->unregisterHotKey(second.handle);
    EXPECT_TRUE(otherClientCanGrabAltR());
}

TEST_F(X11HotKeyRegistrarTest, AHandlerThatDestroysTheRegistrarEndsItsDispatch) {
    // The event loop went on reading the connection and the grab tables of a registrar a
    // handler had destroyed (quitting from a shortcut).
    int heard = 0;
    ASSERT_TRUE(registrar_->installEventHandler(
        [&](HotKeyIdentifier, HotKeyEventKind) {
            ++heard;
            context_.reset();
            registrar_.reset();
            return HotKeyEventResult::handled;
        },
        {}));
    ASSERT_TRUE(registrar_->registerHotKey(15, 0x800, {1, 1}).isRegistered());
    ASSERT_TRUE(registrar_->registerHotKey(15, 0x8800, {1, 2}).isRegistered());
    ASSERT_EQ(run({"xdotool", "key", "alt+r", "alt+r"}), 0);
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    registrar_->processPendingEvents();
    EXPECT_EQ(heard, 1);
    EXPECT_FALSE(registrar_);
}

TEST_F(X11HotKeyRegistrarTest, TheDesktopsBindingsCountAsHeldByTheSystemByTheirKeysPosition) {
    registrar_->setDesktopKeyBindings([] {
        return std::vector<DesktopKeyBinding>{
            {"space", 0x800}, {"e", 0x100}, {"Left", 0x1000}, {"NoSuchKey", 0}};
    });
    const auto expected = std::vector<std::pair<int, int>>{{49, 0x800}, {14, 0x100}, {123, 0x1000}};
    EXPECT_EQ(registrar_->systemShortcuts(), expected);
    EXPECT_EQ(registrar_->systemShortcuts(), expected);  // read afresh, no duplicates
}

// How the bug showed: under a window manager other than openbox, or an openbox started
// with a file of its own, the onboarding said "Sin atajo" for an Alt+Space that worked.
// Why: only the openbox that runs holds keys, and it holds those of the file it announces.
TEST_F(X11HotKeyRegistrarTest, OnlyTheRunningOpenboxsBindingsAreTheDesktops) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("vorela-running-openbox-" + std::to_string(getpid()));
    fs::create_directories(root / "xdg" / "openbox");
    std::ofstream(root / "xdg" / "openbox" / "rc.xml")
        << "<c><keyboard><keybind key=\"A-space\"/></keyboard></c>";
    std::ofstream(root / "session-rc.xml") << "<c><keyboard><keybind key=\"W-e\"/></keyboard></c>";
    setenv("XDG_CONFIG_HOME", (root / "home").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (root / "xdg").c_str(), 1);
    const xcb_window_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    auto announce = [&](const char* property, const std::string& text) {
        const std::string name = property;
        auto* atom = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, name.size(), name.c_str()), nullptr);
        std::free(xcb_request_check(
            connection_,
            xcb_change_property_checked(connection_, XCB_PROP_MODE_REPLACE, screen, atom->atom,
                                        XCB_ATOM_STRING, 8, text.size(), text.data())));
        std::free(atom);
    };
    const struct {
        const char* when;
        const char* property;
        std::string value;
        std::vector<std::pair<int, int>> held;
    } cases[] = {
        {"openbox installed but not running", nullptr, {}, {}},
        {"openbox running on its default files", "_OB_VERSION", "3.6.1", {{49, 0x800}}},
        {"openbox running on a file of the session",
         "_OB_CONFIG_FILE",
         (root / "session-rc.xml").string(),
         {{14, 0x100}}},
    };
    for (const auto& c : cases) {
        if (c.property) announce(c.property, c.value);
        EXPECT_EQ(registrar_->systemShortcuts(), c.held) << c.when;
    }
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_CONFIG_DIRS");
    fs::remove_all(root);
}

TEST_F(X11HotKeyRegistrarTest, KeyStateIsReadFromTheServer) {
    keys({"keydown", "space"});
    EXPECT_TRUE(registrar_->isKeyDown(49));
    keys({"keyup", "space"});
    EXPECT_FALSE(registrar_->isKeyDown(49));
}

TEST_F(X11HotKeyRegistrarTest, InsideTheQtApplicationEventsArriveThroughItsNativeEventFilter) {
    if (QCoreApplication::instance()) {
        GTEST_SKIP() << "a Qt application already exists in this process; run this test alone";
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "vorela_linux_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    auto registrar = X11HotKeyRegistrar::attachToQtApplication();
    ASSERT_TRUE(registrar->isAvailable());
    {
        Context context({loop_, UserDefaults::inMemory(), notifications_, *registrar, *keyboard_});
        context.makeCurrent();
        const Name play = Name::declare("togglePlay", Shortcut(Key::space, ModifierFlags::option));
        QEventLoop waiting;
        int plays = 0;
        onKeyDown(play, [&] {
            ++plays;
            waiting.quit();
        });
        ASSERT_TRUE(isEnabled(play));
        ASSERT_EQ(run({"xdotool", "key", "alt+space"}), 0);
        // Bounded: the key events are already on their way; the timer only stops a failure.
        QTimer::singleShot(5000, &waiting, &QEventLoop::quit);
        if (plays == 0) waiting.exec();
        EXPECT_EQ(plays, 1);
    }
    registrar.reset();
}

// --- Keyboard layout ---

TEST_F(X11HotKeyRegistrarTest, TheServersLayoutGivesCharactersByPositionAndItsRepeatTiming) {
    EXPECT_EQ(keyboard_->textForKey(15), "r");
    EXPECT_EQ(keyboard_->textForKey(41), ";");
    EXPECT_EQ(keyboard_->textForKey(44), "/");
    EXPECT_FALSE(keyboard_->textForKey(63));  // fn
    EXPECT_FALSE(keyboard_->textForKey(36));  // Return types a control character
    EXPECT_DOUBLE_EQ(keyboard_->keyRepeatDelay(), 0.660);
    EXPECT_DOUBLE_EQ(keyboard_->keyRepeatInterval(), 0.040);
    EXPECT_EQ(Shortcut(Key::r, ModifierFlags::option).presentableDescription(keyboard_.get()),
              "Alt+R");

    // A new keymap on the server is picked up by the next lookup.
    ASSERT_EQ(run({"setxkbmap", "-display", server_->display(), "de"}), 0);
    EXPECT_EQ(keyboard_->textForKey(16), "z");  // QWERTZ
}

}  // namespace

TEST(XkbKeyboardLayoutTest, LayoutsFromNamesChooseTheLatinGroupAndSkipDeadKeys) {
    struct Case {
        const char* name;
        const char* layouts;
        const char* variants;
        std::uint16_t key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"US letter", "us", "", 15, "r"},
        {"German QWERTZ", "de", "", 16, "z"},
        {"Russian first, US second: the Latin letter", "ru,us", "", 15, "r"},
        {"Russian alone: its own letter", "ru", "", 15, "к"},
        {"dead acute of US international", "us", "intl", 39, std::nullopt},
        {"unmapped code", "us", "", 52, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto layout = XkbKeyboardLayout::fromNames(c.layouts, c.variants);
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->textForKey(c.key), c.expected);
    }
    EXPECT_EQ(XkbKeyboardLayout::xkbKeyName(15), "AD04");
    EXPECT_EQ(XkbKeyboardLayout::carbonKeyCode("SPCE"), 49);
    for (int code = 0; code < 128; ++code) {
        if (const auto name = XkbKeyboardLayout::xkbKeyName(code)) {
            SCOPED_TRACE(code);
            EXPECT_EQ(XkbKeyboardLayout::carbonKeyCode(*name), code);
        }
    }
}

}  // namespace vorela
