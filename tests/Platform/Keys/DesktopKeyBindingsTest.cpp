#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Platform/Keys/DesktopKeyBindings.h"

namespace vorela {
namespace {

TEST(DesktopKeyBindingsTest, OpenboxKeybindsGiveTheirFirstCombination) {
    struct Case {
        const char* name;
        const char* key;
        std::vector<DesktopKeyBinding> expected;
    };
    const Case cases[] = {
        {"Alt and a key", "A-space", {{"space", 0x800}}},
        {"Super and Shift", "W-S-e", {{"e", 0x300}}},
        {"Control and the minus key", "C--", {{"-", 0x1000}}},
        {"a chain holds its first combination", "C-a b", {{"a", 0x1000}}},
        {"a bare key", "Print", {{"Print", 0}}},
        {"Meta has no Carbon bit", "M-x", {}},
        {"Mod4 spelled out", "Mod4-Tab", {{"Tab", 0x100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string xml = std::string("<openbox_config><keyboard><keybind key=\"") + c.key +
                                "\"><action name=\"X\"/></keybind></keyboard></openbox_config>";
        EXPECT_EQ(parseOpenboxKeyBindings(xml), c.expected);
    }
}

TEST(DesktopKeyBindingsTest, OnlyTheKeyboardSectionCountsAndEntitiesAreRefused) {
    const std::string mouse =
        "<openbox_config><mouse><context><keybind key=\"A-x\"/></context></mouse>"
        "<keyboard><chainQuitKey>C-g</chainQuitKey><keybind key=\"A-F4\"/></keyboard>"
        "</openbox_config>";
    EXPECT_EQ(parseOpenboxKeyBindings(mouse), (std::vector<DesktopKeyBinding>{{"F4", 0x800}}));
    const std::string entities =
        "<!DOCTYPE c [<!ENTITY k \"A-space\">]><c><keyboard><keybind key=\"&k;\"/></keyboard></c>";
    EXPECT_TRUE(parseOpenboxKeyBindings(entities).empty());
    EXPECT_TRUE(parseOpenboxKeyBindings("<c><keyboard><keybind key=").empty());
}

TEST(DesktopKeyBindingsTest, TheUsersConfigurationComesBeforeTheSystems) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "vorela-openbox-config-test";
    fs::remove_all(root);
    fs::create_directories(root / "user" / "openbox");
    fs::create_directories(root / "system" / "openbox");
    std::ofstream(root / "system" / "openbox" / "rc.xml")
        << "<c><keyboard><keybind key=\"A-space\"/></keyboard></c>";
    setenv("XDG_CONFIG_HOME", (root / "user").c_str(), 1);
    const std::string dirs = (root / "nowhere").string() + ":" + (root / "system").string();
    setenv("XDG_CONFIG_DIRS", dirs.c_str(), 1);
    EXPECT_EQ(readOpenboxKeyBindings(), (std::vector<DesktopKeyBinding>{{"space", 0x800}}));
    std::ofstream(root / "user" / "openbox" / "rc.xml")
        << "<c><keyboard><keybind key=\"W-e\"/></keyboard></c>";
    EXPECT_EQ(readOpenboxKeyBindings(), (std::vector<DesktopKeyBinding>{{"e", 0x100}}));
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_CONFIG_DIRS");
    fs::remove_all(root);
}

}  // namespace
}  // namespace vorela
