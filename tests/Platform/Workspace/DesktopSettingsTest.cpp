#include <gtest/gtest.h>

#include <set>

#include "Platform/Workspace/DesktopSettings.h"

namespace vorela {
namespace {

// A file system that holds just the given files.
DesktopSettings::Environment environmentWith(std::set<std::string> files) {
    auto has = [files](const std::string& file) { return files.count(file) > 0; };
    return {.path = "/usr/local/bin:/usr/bin",
            .sessionType = "x11",
            .hasWaylandDisplay = false,
            .dataDirs = "",
            .isExecutable = has,
            .exists = has};
}

TEST(DesktopSettingsTest, OnlyThePermissionPagesOfTheSettingsAddressAreRecognised) {
    struct Case {
        const char* name;
        const char* url;
        std::optional<SettingsPage> page;
    } cases[] = {
        {"microphone", "x-apple.systempreferences:com.apple.preference.security?Privacy_Microphone",
         SettingsPage::microphone},
        {"screen capture",
         "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture",
         SettingsPage::screenCapture},
        {"another privacy page",
         "x-apple.systempreferences:com.apple.preference.security?Privacy_Camera", std::nullopt},
        {"no page", "x-apple.systempreferences:com.apple.preference.security", std::nullopt},
        {"a web page with the same anchor", "https://example.org/?Privacy_Microphone",
         std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DesktopSettings::pageOf(c.url), c.page);
    }
}

TEST(DesktopSettingsTest, TheFirstInstalledToolWinsWhereverItIsOnThePath) {
    using Command = SettingsCommand;
    struct Case {
        const char* name;
        SettingsPage page;
        std::set<std::string> files;
        std::optional<Command> found;
    } cases[] = {
        {"GNOME before the others",
         SettingsPage::microphone,
         {"/usr/bin/pavucontrol", "/usr/bin/systemsettings", "/usr/bin/gnome-control-center"},
         Command{"/usr/bin/gnome-control-center", {"sound"}}},
        {"KDE before pavucontrol, even later on the path",
         SettingsPage::microphone,
         {"/usr/local/bin/pavucontrol", "/usr/bin/systemsettings"},
         Command{"/usr/bin/systemsettings", {"kcm_pulseaudio"}}},
        {"pavucontrol on its input tab",
         SettingsPage::microphone,
         {"/usr/bin/pavucontrol"},
         Command{"/usr/bin/pavucontrol", {"--tab=4"}}},
        {"the first folder of the path",
         SettingsPage::microphone,
         {"/usr/local/bin/pavucontrol", "/usr/bin/pavucontrol"},
         Command{"/usr/local/bin/pavucontrol", {"--tab=4"}}},
        {"none installed", SettingsPage::microphone, {"/usr/bin/xdg-open"}, std::nullopt},
        {"GNOME's privacy page",
         SettingsPage::screenCapture,
         {"/usr/bin/gnome-control-center", "/usr/bin/pavucontrol"},
         Command{"/usr/bin/gnome-control-center", {"privacy"}}},
        {"a mixer knows no screen permission",
         SettingsPage::screenCapture,
         {"/usr/bin/pavucontrol"},
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DesktopSettings(environmentWith(c.files)).find(c.page), c.found);
    }
}

// A relative or empty entry of PATH would start a program of that name from the current
// folder, which may be anybody's.
TEST(DesktopSettingsTest, OnlyAbsoluteFoldersOfThePathAreSearched) {
    std::vector<std::string> asked;
    auto environment = environmentWith({});
    environment.path = ":bin:./tools:/opt/tools:";
    environment.isExecutable = [&](const std::string& file) {
        asked.push_back(file);
        return true;
    };
    const auto found = DesktopSettings(environment).find(SettingsPage::microphone);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, "/opt/tools/gnome-control-center");
    EXPECT_EQ(asked, std::vector<std::string>{"/opt/tools/gnome-control-center"});

    environment.path = "";
    EXPECT_EQ(DesktopSettings(environment).find(SettingsPage::microphone), std::nullopt);
}

TEST(DesktopSettingsTest, OnlyAWaylandSessionWithThePortalHasAScreenCapturePermission) {
    const std::string portal = "/dbus-1/services/org.freedesktop.portal.Desktop.service";
    struct Case {
        const char* name;
        const char* sessionType;
        bool waylandDisplay;
        const char* dataDirs;
        std::set<std::string> files;
        bool hasPermission;
    } cases[] = {
        {"X11, portal installed", "x11", false, "", {"/usr/share" + portal}, false},
        {"Wayland without a portal", "wayland", false, "", {}, false},
        {"Wayland, portal in the standard folders",
         "wayland",
         false,
         "",
         {"/usr/share" + portal},
         true},
        {"a Wayland display though the session type is unset",
         "",
         true,
         "",
         {"/usr/local/share" + portal},
         true},
        {"the portal in a data folder of the session",
         "wayland",
         false,
         "/opt/desk/share:/x",
         {"/opt/desk/share" + portal},
         true},
        {"the session's data folders replace the standard ones",
         "wayland",
         false,
         "/opt/desk",
         {"/usr/share" + portal},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto environment = environmentWith(c.files);
        environment.sessionType = c.sessionType;
        environment.hasWaylandDisplay = c.waylandDisplay;
        environment.dataDirs = c.dataDirs;
        const DesktopSettings settings(environment);
        EXPECT_EQ(settings.hasPermission(SettingsPage::screenCapture), c.hasPermission);
        EXPECT_TRUE(settings.hasPermission(SettingsPage::microphone))
            << "a device may refuse the microphone in any session";
    }
}

}  // namespace
}  // namespace vorela
