#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTest>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"

namespace vorela::testing {
namespace {

// The message box of a later start, which has no window but that: answered with Return
// once it shows. False when none showed within `seconds`.
bool answerLaterStartMessage(double seconds) {
    for (int i = 0; i < seconds * 20; ++i, QTest::qWait(50)) {
        std::istringstream ids(commandOutput("xdotool search --onlyvisible --classname vorela"));
        for (std::string id; std::getline(ids, id);) {
            const std::string type = commandOutput("xprop -id " + id + " _NET_WM_WINDOW_TYPE");
            if (type.find("_NET_WM_WINDOW_TYPE_DIALOG") == std::string::npos) continue;
            Desktop::shared().screenshot("desktop-later-start-message");
            run({"xdotool", "windowactivate", "--sync", id, "key", "Return"});
            return true;
        }
    }
    return false;
}

// Connections that say nothing, as a misbehaving program of the user's could open.
std::vector<int> silentConnections(const std::filesystem::path& socket, int count) {
    std::vector<int> fds;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    for (int i = 0; i < count; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            fds.push_back(fd);
        } else {
            ::close(fd);
        }
    }
    return fds;
}

TEST_F(VorelaDesktopTest, WithARefusedRuntimeFolderALaterStartSaysItCannotHandOverAndFails) {
    // A runtime folder open to others cannot carry the lock and the socket, and every
    // start then ran as a full second instance on the same library. The library's own lock
    // keeps one instance; a later start says why it cannot hand over and ends.
    VorelaProcess vorela(
        kQuietLaunch, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                          std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                          std::filesystem::perms::others_exec);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    const pid_t later = vorela.startAgainInBackground({longScriptLink(20)});
    EXPECT_TRUE(answerLaterStartMessage(15)) << vorela.laterStartsLog();
    const auto status = waitForExit(later, 10);
    if (!status) {
        kill(later, SIGKILL);
        waitForExit(later, 5);
    }
    EXPECT_EQ(status, 1) << vorela.laterStartsLog();
    EXPECT_NE(vorela.laterStartsLog().find("no se le puede entregar el pedido"), std::string::npos)
        << vorela.laterStartsLog();
    EXPECT_TRUE(vorela.isRunning());
    EXPECT_FALSE(waitForPanel(1)) << "nothing reached the running instance";
}

TEST_F(VorelaDesktopTest, ALaterStartGetsThroughConnectionsThatSayNothing) {
    // The running instance kept 32 connections waiting and closed any more: a program
    // holding that many open made every later start's link vanish, with success.
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    const auto crowd =
        silentConnections(vorela.home() / "runtime" / "app.vorela.Vorela.socket", 100);
    EXPECT_GT(crowd.size(), 32u);
    EXPECT_EQ(vorela.startAgain({longScriptLink(20)}), 0) << vorela.laterStartsLog();
    EXPECT_TRUE(waitForPanel(5)) << "the link reached the running instance\n" << vorela.log();
    for (const int fd : crowd) ::close(fd);
}

TEST_F(VorelaDesktopTest, ASelectionOverTheSizeBoundIsRefusedAndTheUserTold) {
    // Over 50 MB the later start failed with a log line only.
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    ASSERT_EQ(run({"sh", "-c",
                   "yes 'palabra de un texto enorme' | head -c 53000000 | "
                   "xclip -selection primary -loops 2 -i"}),
              0);
    const pid_t later = vorela.startAgainInBackground({"--read-selection"});
    EXPECT_TRUE(answerLaterStartMessage(30)) << vorela.laterStartsLog();
    const auto status = waitForExit(later, 10);
    if (!status) {
        kill(later, SIGKILL);
        waitForExit(later, 5);
    }
    EXPECT_EQ(status, 1);
    EXPECT_NE(vorela.laterStartsLog().find("ocupa más de 50 MB"), std::string::npos)
        << vorela.laterStartsLog();
    EXPECT_FALSE(waitForPanel(1)) << "nothing loaded";
    EXPECT_TRUE(vorela.isRunning());
}

}  // namespace
}  // namespace vorela::testing
