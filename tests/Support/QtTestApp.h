#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace vorela::testing {

// Ends the application when the test run ends, before static destruction: a static
// QApplication outlived QTest's input devices and crashed the binary at exit.
class QtTestAppEnvironment final : public ::testing::Environment {
public:
    explicit QtTestAppEnvironment(QApplication* app) : app_(app) {}
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

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
    static QApplication* app = [] {
        auto* made = new QApplication(argc, argv);
        ::testing::AddGlobalTestEnvironment(new QtTestAppEnvironment(made));
        return made;
    }();
    return *app;
}

}  // namespace vorela::testing
