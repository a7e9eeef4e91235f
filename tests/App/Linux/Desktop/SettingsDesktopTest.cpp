#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"
#include "Support/StubPrograms.h"

namespace vorela::testing {
namespace {

// Environment variables set for the programs this test starts, put back when it goes:
// later tests on the shared desktop start theirs in the desktop's own session.
class SessionVariables {
public:
    ~SessionVariables() {
        for (const auto& [name, value] : before_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void set(const std::string& name, const std::string& value) {
        if (!before_.count(name)) {
            const char* old = std::getenv(name.c_str());
            before_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::map<std::string, std::optional<std::string>> before_;
};

class SettingsDesktopTest : public VorelaDesktopTest {};

void keys(const std::vector<std::string>& names) {
    for (const auto& name : names) {
        run({"xdotool", "key", name});
        QTest::qWait(150);
    }
}

// The visibility check fails in a Wayland session (the program reads the screen through
// X11 only); there the failure offers the screen-capture permission, and the link starts
// the desktop's privacy settings: a stub on PATH proves which program ran.
TEST_F(SettingsDesktopTest, TheFailedCheckOpensTheDesktopsPrivacySettingsInAWaylandSession) {
    StubPrograms stubs;
    stubs.add("gnome-control-center");
    const auto data = stubs.bin().parent_path() / "share";
    std::filesystem::create_directories(data / "dbus-1/services");
    std::ofstream(data / "dbus-1/services/org.freedesktop.portal.Desktop.service")
        << "[D-BUS Service]\nName=org.freedesktop.portal.Desktop\n";
    SessionVariables session;
    session.set("XDG_SESSION_TYPE", "wayland");
    session.set("XDG_DATA_DIRS", data.string() + ":/usr/share");
    session.set("PATH", stubs.bin().string() + ":" + std::getenv("PATH"));

    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    ASSERT_EQ(vorela.startAgain({"prompter://read?text=Hola%20a%20todos"}), 0);
    ASSERT_TRUE(waitForPanel()) << vorela.log();

    // "Preferencias…", then the fifth tab, "Discreción".
    ASSERT_TRUE(openTrayMenu(vorela));
    for (int i = 0; i < 14; ++i) run({"xdotool", "key", "Down"});
    run({"xdotool", "key", "Return"});
    std::optional<QRect> settings;
    for (int i = 0; i < 100 && !settings; ++i, QTest::qWait(50))
        settings = desktop_.windowOfType("NORMAL", "Preferencias");
    ASSERT_TRUE(settings) << vorela.log();
    QTest::qWait(500);
    keys({"ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "ctrl+Tab"});
    // The tab bar has the focus: the scroll area, then "Verificar discreción".
    keys({"Tab", "Tab", "space"});
    QTest::qWait(1500);
    const QImage failed = desktop_.screenshot("desktop-discretion-failed-wayland");
    // The link is the orange text right of the button, under the message: its middle.
    const QRect band(settings->left() + 170, settings->top(), 120, 260);
    long sumX = 0, sumY = 0, found = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x) {
            const QColor c = failed.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 90 && c.green() < 170 && c.blue() < 110) {
                sumX += x;
                sumY += y;
                ++found;
            }
        }
    ASSERT_GT(found, 30) << "no orange link under the failure\n" << vorela.log();
    run({"xdotool", "mousemove", std::to_string(sumX / found), std::to_string(sumY / found),
         "click", "1"});
    for (int i = 0; i < 100 && !stubs.ran(); ++i) QTest::qWait(50);
    EXPECT_EQ(stubs.ran(), "gnome-control-center privacy") << vorela.log();
}

}  // namespace
}  // namespace vorela::testing
