#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace vorela::testing {

// Points the XDG configuration, data and runtime folders at a fresh temporary folder for
// as long as it lives, so a test program never reads or writes the preferences, library
// or log of the developer running it. The folder goes with it.
class PrivateXdgFolders final {
public:
    PrivateXdgFolders() {
        std::string pattern = std::filesystem::temp_directory_path() / "vorela-test-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("vorela tests: no temporary folder");
            std::exit(2);
        }
        root_ = pattern;
        use("XDG_CONFIG_HOME", "config");
        use("XDG_DATA_HOME", "data");
        use("XDG_RUNTIME_DIR", "runtime");
    }
    ~PrivateXdgFolders() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    PrivateXdgFolders(const PrivateXdgFolders&) = delete;
    PrivateXdgFolders& operator=(const PrivateXdgFolders&) = delete;
    PrivateXdgFolders(PrivateXdgFolders&&) = delete;
    PrivateXdgFolders& operator=(PrivateXdgFolders&&) = delete;

    const std::filesystem::path& root() const { return root_; }

private:
    void use(const char* variable, const char* folder) {
        const auto path = root_ / folder;
        std::filesystem::create_directories(path);
        // Private to the owner, as a runtime folder must be.
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        setenv(variable, path.c_str(), 1);
    }

    std::filesystem::path root_;
};

}  // namespace vorela::testing
