#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <vector>

#include "Shell/TerminationSignals.h"

namespace vorela {
namespace {

TEST(TerminationSignalsTest, EachSignalReachesTheEventLoopOnceAndASecondOneWouldEndTheProgram) {
    static int argc = 1;
    static char name[] = "vorela-signal-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
    for (const int number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(number);
        std::vector<int> heard;
        const TerminationSignals handler([&](int n) { heard.push_back(n); });
        ASSERT_TRUE(handler.isInstalled());
        ::raise(number);
        EXPECT_TRUE(heard.empty()) << "heard inside the signal handler";
        QElapsedTimer timer;
        timer.start();
        while (heard.empty() && timer.elapsed() < 5000) QCoreApplication::processEvents();
        EXPECT_EQ(heard, std::vector<int>{number});
        struct sigaction action {};
        ::sigaction(number, nullptr, &action);
        EXPECT_EQ(action.sa_handler, SIG_DFL);
    }
}

}  // namespace
}  // namespace vorela
