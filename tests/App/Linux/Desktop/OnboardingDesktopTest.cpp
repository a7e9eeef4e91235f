#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"
#include "Support/RefusedMicrophone.h"
#include "Support/StubPrograms.h"

namespace vorela::testing {
namespace {

bool isOrange(const QColor& c) {
    return c.red() > 180 && c.red() - c.green() > 60 && c.green() > 70 && c.blue() < 100;
}

// The onboarding of a new user (no preferences), with the program's PATH given.
std::unique_ptr<VorelaProcess> startNewUser(const std::string& path) {
    const std::string before = std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    auto vorela = std::make_unique<VorelaProcess>();
    setenv("PATH", before.c_str(), 1);
    return vorela;
}

class OnboardingDesktopTest : public VorelaDesktopTest {
protected:
    static void keys(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            run({"xdotool", "key", name});
            QTest::qWait(300);
        }
    }
    std::optional<QRect> waitForWelcome() {
        for (int i = 0; i < 200; ++i, QTest::qWait(50))
            if (auto frame = desktop_.windowOfType("NORMAL", "Bienvenido a Vorela")) return frame;
        return std::nullopt;
    }
    // From the welcome to the voice step, and a click on "Permitir y calibrar" (the orange
    // button in the step's top part); false when there is no such button.
    bool askForTheMicrophone(const QRect& window) {
        QTest::qWait(1500);  // the welcome's entrance
        keys({"Return"});
        QTest::qWait(800);
        const QImage voice = desktop_.screenshot("desktop-onboarding-voice");
        long sumX = 0, sumY = 0, found = 0;
        for (int y = window.top(); y < window.top() + 250; ++y)
            for (int x = window.left(); x <= window.right(); ++x)
                if (const QColor c = voice.pixelColor(x, y);
                    c.red() > 220 && c.green() > 100 && c.green() < 150 && c.blue() < 80) {
                    sumX += x;
                    sumY += y;
                    ++found;
                }
        if (found < 500) return false;
        buttonBottom_ = 0;
        for (int y = window.top(); y < window.top() + 250; ++y)
            if (isOrange(voice.pixelColor(static_cast<int>(sumX / found), y))) buttonBottom_ = y;
        run({"xdotool", "mousemove", std::to_string(sumX / found), std::to_string(sumY / found),
             "click", "1"});
        QTest::qWait(1500);
        return true;
    }
    // The orange lines of text under the button, left half of the step: each line's middle.
    std::vector<QPoint> orangeLines(const QImage& image, const QRect& window) const {
        std::vector<QPoint> lines;
        int top = -1;
        long sumX = 0, count = 0;
        for (int y = buttonBottom_ + 4; y < window.top() + 420; ++y) {
            int inRow = 0;
            for (int x = window.left() + 20; x < window.left() + window.width() / 2; ++x)
                if (isOrange(image.pixelColor(x, y))) {
                    ++inRow;
                    sumX += x;
                }
            if (inRow > 0 && top < 0) top = y;
            count += inRow;
            if (inRow == 0 && top >= 0) {
                if (count > 20) lines.emplace_back(static_cast<int>(sumX / count), (top + y) / 2);
                top = -1;
                sumX = count = 0;
            }
        }
        return lines;
    }

    int buttonBottom_ = 0;
};

// A sound device the system refuses: the voice step says the permission is missing, and
// its link starts the first sound settings tool on PATH.
TEST_F(OnboardingDesktopTest, TheVoiceStepsLinkOpensTheSoundSettingsWhenTheMicrophoneIsRefused) {
    RefusedMicrophone refused;
    if (!refused.isInstalled()) GTEST_SKIP() << "no file here refuses reading";
    StubPrograms stubs;
    stubs.add("pavucontrol");
    const auto vorela = startNewUser(stubs.bin().string() + ":" + std::getenv("PATH"));
    const auto window = waitForWelcome();
    ASSERT_TRUE(window) << vorela->log();
    ASSERT_TRUE(askForTheMicrophone(*window)) << vorela->log();

    const auto lines =
        orangeLines(desktop_.screenshot("desktop-onboarding-microphone-refused"), *window);
    // The missing permission, then the link.
    ASSERT_EQ(lines.size(), 2u) << vorela->log();
    run({"xdotool", "mousemove", std::to_string(lines[1].x()), std::to_string(lines[1].y()),
         "click", "1"});
    for (int i = 0; i < 100 && !stubs.ran(); ++i) QTest::qWait(50);
    EXPECT_EQ(stubs.ran(), "pavucontrol --tab=4") << vorela->log();
}

// With no sound settings tool installed, the link says so under itself.
TEST_F(OnboardingDesktopTest, WithNoSoundSettingsTheVoiceStepSaysSo) {
    RefusedMicrophone refused;
    if (!refused.isInstalled()) GTEST_SKIP() << "no file here refuses reading";
    StubPrograms empty;
    const auto vorela = startNewUser(empty.bin().string());
    const auto window = waitForWelcome();
    ASSERT_TRUE(window) << vorela->log();
    ASSERT_TRUE(askForTheMicrophone(*window)) << vorela->log();

    const auto lines =
        orangeLines(desktop_.screenshot("desktop-onboarding-refused-before-link"), *window);
    ASSERT_EQ(lines.size(), 2u) << vorela->log();
    run({"xdotool", "mousemove", std::to_string(lines[1].x()), std::to_string(lines[1].y()),
         "click", "1"});
    QTest::qWait(800);
    const auto after =
        orangeLines(desktop_.screenshot("desktop-onboarding-no-sound-settings"), *window);
    // The text under the link wraps over two lines or more.
    EXPECT_GE(after.size(), 4u) << vorela->log();
    EXPECT_FALSE(empty.ran());
}

// The key caps of the last step, top to bottom: their widths (the keys' text is monospace).
std::vector<int> keyCapWidths(const QImage& image, const QRect& window) {
    const QColor page = image.pixelColor(window.left() + 10, window.top() + 150);
    auto isCap = [&](int x, int y) {
        const int lift = image.pixelColor(x, y).lightness() - page.lightness();
        return lift >= 8 && lift < 60;
    };
    // A column through the caps' left padding.
    const int column = window.left() + 43;
    std::vector<int> widths;
    int top = -1;
    for (int y = window.top() + 40; y < window.top() + 320; ++y) {
        if (isCap(column, y)) {
            if (top < 0) top = y;
            continue;
        }
        if (top >= 0 && y - top >= 16 && y - top <= 40) {
            const int middle = (top + y) / 2;
            int left = column, right = column, gap = 0;
            while (left > window.left() && isCap(left - 1, middle)) --left;
            // Text inside the cap is no cap colour: the cap ends after a run of page.
            for (int x = column; x < window.right() && gap < 8; ++x) {
                const bool onPage =
                    !isCap(x, middle) &&
                    std::abs(image.pixelColor(x, middle).lightness() - page.lightness()) < 4;
                gap = onPage ? gap + 1 : 0;
                if (!onPage) right = x;
            }
            widths.push_back(right - left + 1);
        }
        top = -1;
    }
    return widths;
}

// Under openbox holding Alt+Space (its window menu, as stock desktops hold it), the last
// step shows "Sin atajo" for play and pause and the keys that work for the others; with
// Alt+Space free, it shows Alt+Espacio.
TEST_F(OnboardingDesktopTest, TheLastStepShowsOnlyTheKeysThatWork) {
    std::vector<int> widths[2];
    for (const bool held : {false, true}) {
        desktop_.setWindowManagerKeys(held ? std::vector<std::string>{"A-space"}
                                           : std::vector<std::string>{});
        const auto vorela = startNewUser(std::getenv("PATH"));
        const auto window = waitForWelcome();
        ASSERT_TRUE(window) << vorela->log();
        QTest::qWait(1500);
        // Welcome, voice, script (the sample stays), then the last step with the panel.
        keys({"Return", "Return", "Return"});
        QTest::qWait(1500);
        const QImage ready = desktop_.screenshot(held ? "desktop-onboarding-ready-alt-space-held"
                                                      : "desktop-onboarding-ready");
        widths[held] = keyCapWidths(ready, *window);
        ASSERT_EQ(widths[held].size(), 4u) << (held ? "held" : "free") << "\n" << vorela->log();
    }
    desktop_.setWindowManagerKeys({});
    const auto& free = widths[0];
    const auto& held = widths[1];
    // Slower/faster, the panel's key and "Mouse encima" read the same either way.
    for (int row = 1; row < 4; ++row) EXPECT_NEAR(held[row], free[row], 1) << "row " << row;
    // "Alt+Espacio" and "Alt+P" are 11 and 5 characters; "Sin atajo" is 9.
    const double character = (free[0] - free[2]) / 6.0;
    ASSERT_GT(character, 4);
    EXPECT_NEAR(held[0], free[2] + 4 * character, 2);
}

}  // namespace
}  // namespace vorela::testing
