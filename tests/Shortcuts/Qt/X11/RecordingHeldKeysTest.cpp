#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <cstdlib>
#include <memory>

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Keys/Linux/X11HotKeyRegistrar.h"
#include "Platform/Keys/Linux/XkbKeyboardLayout.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Shortcuts/Context.h"
#include "Shortcuts/Qt/RecorderRow.h"
#include "Shortcuts/Qt/ShortcutRecorder.h"
#include "Shortcuts/Shortcuts.h"
#include "Support/XvfbServer.h"

namespace vorela::Shortcuts {
namespace {

// Whether another client could take Alt+Space now (it cannot while we hold the grab).
bool anotherClientCanGrabAltSpace(const std::string& display, xcb_keycode_t space) {
    xcb_connection_t* other = xcb_connect(display.c_str(), nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    xcb_generic_error_t* error =
        xcb_request_check(other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_1, space,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::free(error);
    xcb_disconnect(other);  // lets go of a grab it got
    return error == nullptr;
}

TEST(RecordingHeldKeysTest, RecordingTheKeysOurOwnShortcutHoldsReleasesTheGrabUntilItEnds) {
    if (!testing::isOnPath("Xvfb") || !testing::isOnPath("xdotool")) {
        GTEST_SKIP() << "Xvfb and xdotool are needed";
    }
    const auto server = testing::XvfbServer::start();
    ASSERT_TRUE(server);
    setenv("DISPLAY", server->display().c_str(), 1);
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "vorela_shortcuts_x11_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    ManualRunLoop loop;
    NotificationCenter notifications(loop);
    auto registrar = X11HotKeyRegistrar::attachToQtApplication();
    auto keyboard = XkbKeyboardLayout::connect(server->display().c_str());
    ASSERT_TRUE(registrar->isAvailable());
    ASSERT_TRUE(keyboard);
    // This machine's desktop configuration is not under test (openbox binds Alt+Space).
    registrar->setDesktopKeyBindings({});
    {
        Context context({loop, UserDefaults::inMemory(), notifications, *registrar, *keyboard});
        context.makeCurrent();
        const Shortcut optionSpace(Key::space, ModifierFlags::option);
        const Name play = Name::declare("togglePlay", optionSpace);
        int plays = 0;
        onKeyDown(play, [&] { ++plays; });
        const xcb_keycode_t space = 65;  // Xvfb's evdev keymap
        EXPECT_FALSE(anotherClientCanGrabAltSpace(server->display(), space));

        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        int changes = 0;
        auto* row = new RecorderRow(
            context, std::string("Reproducir o pausar"), play, [&](auto) { ++changes; }, &window);
        layout->addWidget(row);
        layout->addWidget(new QLineEdit(&window));
        window.resize(360, 90);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ShortcutRecorder& recorder = row->recorder();
        recorder.setAlertPresenter([](const RecorderAlert& alert, QWidget*) {
            ADD_FAILURE() << "unexpected alert: " << alert.title;
            return kFirstButtonResponse;
        });
        EXPECT_FALSE(recorder.controller().isRecording());

        QTest::mouseClick(&recorder, Qt::LeftButton, {}, recorder.rect().center());
        ASSERT_TRUE(recorder.controller().isRecording());
        EXPECT_TRUE(anotherClientCanGrabAltSpace(server->display(), space));
        const QString folder = QDir::current().absoluteFilePath("artifacts");
        QDir().mkpath(folder);
        const QImage shot = window.grab().toImage();
        shot.save(folder + "/recorder-recording-xvfb.png");
        EXPECT_NE(shot.pixelColor(recorder.geometry().center()), QColor(Qt::black));

        // The key press reaches the field, not the global shortcut.
        ASSERT_EQ(testing::run({"xdotool", "key", "alt+space"}), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !recorder.controller().isRecording(); }, 5000));
        EXPECT_EQ(plays, 0);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(getShortcut(play), optionSpace);
        EXPECT_EQ(recorder.text(), "Alt+Espacio");

        // Recording over, the grab is back and the shortcut fires again.
        EXPECT_FALSE(anotherClientCanGrabAltSpace(server->display(), space));
        ASSERT_EQ(testing::run({"xdotool", "key", "alt+space"}), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return plays == 1; }, 5000));
    }
    registrar.reset();
}

}  // namespace
}  // namespace vorela::Shortcuts
