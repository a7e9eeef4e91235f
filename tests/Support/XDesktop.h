#pragma once

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "Support/XvfbServer.h"

namespace vorela::testing {

// One X server with openbox for the whole binary, and the Qt application on it.
struct XDesktop {
    std::unique_ptr<XvfbServer> server;
    pid_t windowManager = 0;
    std::unique_ptr<QApplication> app;

    static XDesktop& shared() {
        static XDesktop desktop;
        return desktop;
    }
    bool isReady() const { return app != nullptr; }

private:
    XDesktop() {
        if (!isOnPath("Xvfb") || !isOnPath("openbox")) return;
        server = XvfbServer::start("1280x800x24");
        if (!server) return;
        setenv("DISPLAY", server->display().c_str(), 1);
        std::vector<std::string> args{"openbox", "--sm-disable"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        const int spawned =
            posix_spawnp(&windowManager, "openbox", &quiet, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&quiet);
        if (spawned != 0) return;
        // The manager is up once it has claimed the screen's selection.
        for (int i = 0; i < 100 && run({"sh", "-c",
                                        "xprop -root _NET_SUPPORTING_WM_CHECK "
                                        "| grep -q window"}) != 0;
             ++i)
            usleep(50'000);
        // openbox claims the screen a moment before it manages new windows: a window
        // mapped in between was never exposed (seen when the panel was the first window).
        usleep(500'000);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "vorela-x11-tests";
        static char* argvQt[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argvQt);
    }
    ~XDesktop() {
        // The application is left to the process's end: Qt's xcb connection must not be
        // torn down after its server is gone.
        (void)app.release();
        if (windowManager > 0) {
            kill(windowManager, SIGTERM);
            waitpid(windowManager, nullptr, 0);
        }
    }
};

}  // namespace vorela::testing
