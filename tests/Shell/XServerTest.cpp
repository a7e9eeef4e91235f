#include <gtest/gtest.h>

#include <string>

#include "Shell/XServer.h"
#include "Support/XvfbServer.h"

namespace vorela::testing {
namespace {

// Qt aborted with its own advice to reinstall when no X server answered (status 134).
TEST(XServerTest, WithoutAnXServerTheProgramSaysSoInOneLineAndFails) {
    struct Case {
        const char* name;
        std::string environment;
    };
    const Case cases[] = {
        {"no display at all", "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"},
        {"xcb asked for", "-u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb"},
        {"a Wayland session without XWayland",
         "-u QT_QPA_PLATFORM DISPLAY=:193 WAYLAND_DISPLAY=wayland-9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = commandOutput("env " + c.environment + " timeout 20 " +
                                                 VORELA_PROGRAM + " 2>&1; echo \"status=$?\"");
        EXPECT_EQ(output, std::string(XServer::missingText()) + "\nstatus=1\n");
    }
}

}  // namespace
}  // namespace vorela::testing
