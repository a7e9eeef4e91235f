#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Support/PrivateXdgFolders.h"

namespace vorela::testing {
namespace {

// Test programs used to run in the developer's own XDG folders, so a test that wrote a
// preference changed the real ones. The program's main points them at a temporary folder.
TEST(PrivateXdgFoldersTest, TheProgramRunsInTemporaryFoldersOfItsOwn) {
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        SCOPED_TRACE(variable);
        const char* value = std::getenv(variable);
        ASSERT_NE(value, nullptr);
        const std::filesystem::path folder(value);
        EXPECT_TRUE(std::filesystem::is_directory(folder));
        EXPECT_EQ(folder.parent_path().parent_path(), std::filesystem::temp_directory_path());
    }
}

TEST(PrivateXdgFoldersTest, TheFoldersGoWithTheirOwner) {
    const char* variables[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"};
    std::vector<std::string> before;
    for (const char* variable : variables) before.emplace_back(std::getenv(variable));
    std::filesystem::path root;
    {
        const PrivateXdgFolders folders;
        root = folders.root();
        EXPECT_EQ(std::getenv("XDG_CONFIG_HOME"), (root / "config").string());
        EXPECT_EQ(std::filesystem::status(root / "runtime").permissions(),
                  std::filesystem::perms::owner_all);
    }
    EXPECT_FALSE(std::filesystem::exists(root));
    for (std::size_t i = 0; i < before.size(); ++i) setenv(variables[i], before[i].c_str(), 1);
}

}  // namespace
}  // namespace vorela::testing
