// One frame of the whole prompter panel (text, control bar, progress strip, silhouette)
// at 900 x 320 on Qt's offscreen platform, painted as the application paints it: the text
// scrolls and the window repaints into its backing store. The CPU column is the process's
// CPU time (every thread: Qt hands raster work to its own pool), which is what a frame
// costs the machine.
// Goal: at most 0.5 ms of process CPU per frame, and 1k, 20k and 100k words within 1.1x of
// each other (a frame must not depend on the script's length).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchPanel.h"
#include "BenchScript.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "QtBenchMain.h"

namespace {

using namespace vorela;

void BM_PanelFrame(benchmark::State& state) {
    ManualRunLoop loop;
    bench::BenchPanel panel(loop);
    panel.state.load(bench::script(static_cast<int>(state.range(0))), "Bench");
    // With the pointer on the text the control bar shows, and repaints with the text
    // beneath it.
    if (state.range(1)) panel.hover();
    loop.advanceBy(0.2);
    QApplication::processEvents();
    auto& view = panel.text().view();
    const double height = view.contentHeight();
    double y = 0;
    for (auto _ : state) {
        // A reading walks a few points per frame.
        y += 3.7;
        if (y > height) y = 0;
        view.setScrollY(y);
        panel.text().repaint();
    }
}
BENCHMARK(BM_PanelFrame)
    ->ArgNames({"words", "bar"})
    ->ArgsProduct({{1000, 20000, 100000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
