#pragma once

#include <QApplication>

namespace vorela::testing {

// The one QApplication of a Qt test binary, made on first use (tests run on the
// offscreen platform, set by ctest's environment).
inline QApplication& qtTestApp() {
    static int argc = 1;
    static char name[] = "vorela-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace vorela::testing
