#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <optional>
#include <string>

#include "App/Linux/Desktop/DesktopSession.h"

namespace vorela::testing {

// Onboarding done and no main window at launch: only the tray icon shows, and every
// window on the screen afterwards is the panel.
inline constexpr const char* kQuietLaunch =
    "<key>didFinishOnboarding</key><true/><key>openMainWindowAtLaunch</key><false/>";

class VorelaDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!desktop_.isReady()) GTEST_SKIP() << "needs Xvfb, openbox, trayer and xdotool";
        // The pointer away from the panel: hovering the panel pauses it.
        run({"xdotool", "mousemove", "5", "790"});
    }

    // The panel: the program's utility window.
    std::optional<QRect> waitForPanel(double seconds = 10) {
        for (int i = 0; i < seconds * 20; ++i) {
            if (auto frame = desktop_.windowOfType("UTILITY")) return frame;
            QTest::qWait(50);
        }
        return std::nullopt;
    }
    // A link that hands the running program a script of numbered words.
    static std::string longScriptLink(int words) {
        std::string text;
        for (int i = 0; i < words; ++i) text += "texto%20" + std::to_string(i) + "%20";
        return "prompter://read?text=" + text;
    }
    // Right-clicks the tray icon; false when there is none.
    static bool openTrayMenu(const VorelaProcess& vorela) {
        const auto icon = vorela.waitForTrayIcon();
        if (!icon) return false;
        const QPoint at = icon->center();
        run({"xdotool", "mousemove", std::to_string(at.x()), std::to_string(at.y()), "click", "3"});
        QTest::qWait(700);
        return true;
    }
    // Light pixels of script text inside the frame.
    static int textPixels(const QImage& image, const QRect& frame) {
        int count = 0;
        for (int y = frame.top(); y <= frame.bottom(); ++y)
            for (int x = frame.left(); x <= frame.right(); ++x)
                if (image.valid(x, y) && QColor(image.pixel(x, y)).lightness() > 170) ++count;
        return count;
    }
    static int differingPixels(const QImage& a, const QImage& b, const QRect& frame) {
        int count = 0;
        for (int y = frame.top(); y <= frame.bottom(); ++y)
            for (int x = frame.left(); x <= frame.right(); ++x)
                if (a.valid(x, y) && b.valid(x, y) && a.pixel(x, y) != b.pixel(x, y)) ++count;
        return count;
    }

    Desktop& desktop_ = Desktop::shared();
};

}  // namespace vorela::testing
