// What the panel costs while nothing moves: the application's real run loop and clock, the
// panel shown (or hidden) with a 20k-word script, measured over two seconds of Qt's event
// loop. wakeups_per_s counts the event loop's returns from waiting; cpu_percent is the
// process's CPU time (every thread) over wall time. Playing is the reference of a panel
// that scrolls.
// Goal: paused or hidden, 0 wakeups a second and no measurable CPU.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "BenchPanel.h"
#include "BenchScript.h"
#include "Platform/Loop/Linux/QtRunLoop.h"
#include "Platform/Time/Clock.h"
#include "QtBenchMain.h"

namespace {

using namespace vorela;

enum class Still { paused, hidden, playing };

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_PanelIdle(benchmark::State& state) {
    constexpr double kSeconds = 2;
    QObject context;
    QtRunLoop loop(&context, SystemClock::shared());
    bench::BenchPanel panel(loop);
    panel.state.load(bench::script(20000), "Bench");
    panel.state.setMode(PrompterMode::classic);
    panel.state.play();
    // Let it read a little, so the frame clock has run, then settle.
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    const auto still = static_cast<Still>(state.range(0));
    if (still != Still::playing) panel.state.pause();
    if (still == Still::hidden) panel.window.hide();
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);  // the scroll comes to rest
    settle.exec();

    long wakeups = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                     &context, [&wakeups] { ++wakeups; });
    double cpu = 0;
    for (auto _ : state) {
        const double before = processSeconds();
        wakeups = 0;
        QEventLoop measured;
        QTimer::singleShot(static_cast<int>(kSeconds * 1000), &measured, &QEventLoop::quit);
        measured.exec();
        cpu = processSeconds() - before;
    }
    // The quitting timer itself wakes the loop once.
    state.counters["wakeups_per_s"] = static_cast<double>(std::max(wakeups - 1, 0L)) / kSeconds;
    state.counters["cpu_percent"] = 100 * cpu / kSeconds;
}
BENCHMARK(BM_PanelIdle)
    ->ArgName("paused0_hidden1_playing2")
    ->Arg(static_cast<int>(Still::paused))
    ->Arg(static_cast<int>(Still::hidden))
    ->Arg(static_cast<int>(Still::playing))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
