#pragma once

#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace vorela::testing {

// The one QApplication of a Qt test binary, made on first use on the offscreen platform
// (unless the caller chose another), with a private runtime folder.
inline QApplication& qtTestApp() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const auto runtime = std::filesystem::temp_directory_path() /
                             ("vorela-qt-tests-" + std::to_string(getuid()));
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    static int argc = 1;
    static char name[] = "vorela-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace vorela::testing
