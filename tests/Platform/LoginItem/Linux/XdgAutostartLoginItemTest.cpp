#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Platform/LoginItem/Linux/XdgAutostartLoginItem.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

class XdgAutostartLoginItemTest : public ::testing::Test {
protected:
    ~XdgAutostartLoginItemTest() override {
        std::error_code ignored;
        fs::remove_all(home_, ignored);
    }

    static fs::path makeFolder() {
        char pattern[] = "/tmp/vorela-autostart-XXXXXX";
        return mkdtemp(pattern);
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path home_ = makeFolder();
    fs::path entry_ = home_ / "autostart" / "app.vorela.Vorela.desktop";
};

TEST_F(XdgAutostartLoginItemTest, WritesReadsBackAndRemovesTheEntry) {
    XdgAutostartLoginItem item("/opt/Vorela 1/bin/vorela", home_);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    EXPECT_FALSE(item.unregisterItem()) << "removing what is absent succeeds";

    ASSERT_FALSE(item.registerItem());
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
    const std::string text = read(entry_);
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("Exec=\"/opt/Vorela 1/bin/vorela\"\n"), std::string::npos)
        << "a path with a blank is one quoted argument";
    EXPECT_FALSE(fs::exists(entry_.string() + ".tmp"));
    ASSERT_FALSE(item.registerItem()) << "registering twice succeeds";

    // The desktop's own validator accepts the entry, where it is installed.
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
        const std::string check = "desktop-file-validate '" + entry_.string() + "'";
        EXPECT_EQ(std::system(check.c_str()), 0);
    }

    ASSERT_FALSE(item.unregisterItem());
    EXPECT_FALSE(fs::exists(entry_));
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
}

TEST_F(XdgAutostartLoginItemTest, StatusFollowsTheFileWhoeverChangedIt) {
    XdgAutostartLoginItem item("vorela", home_);
    ASSERT_FALSE(item.registerItem());
    std::ofstream(entry_, std::ios::app) << "Hidden=true\n";
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered) << "switched off by the desktop";
    fs::remove(entry_);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
}

TEST_F(XdgAutostartLoginItemTest, FindsTheFolderThroughTheEnvironment) {
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
    XdgAutostartLoginItem item("vorela");
    EXPECT_EQ(item.entryPath(), entry_);
    EXPECT_FALSE(item.registerItem());
    EXPECT_TRUE(fs::exists(entry_));
    if (previous)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST_F(XdgAutostartLoginItemTest, AnUnwritableFolderIsReportedAndNothingIsClaimed) {
    // A file where the autostart folder should be: no one, root included, can write there.
    std::ofstream(home_ / "autostart") << "not a folder";
    XdgAutostartLoginItem item("vorela", home_);
    const auto failure = item.registerItem();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, LoginItemError::cannotWrite);
    EXPECT_EQ(failure->description().rfind("No se pudo crear la entrada de inicio automático.", 0),
              0u);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
}

}  // namespace
}  // namespace vorela
