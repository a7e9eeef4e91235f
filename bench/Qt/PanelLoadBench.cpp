// Loading a script into the shown panel, up to its first painted frame: tokenising, the
// central state, the text view's layout and one repaint. bytes_per_word is the heap the
// loaded script holds (malloc's count of bytes in use, mapped blocks included, after the first
// frame, over the little sample script's) divided by its words. Goal: 20k words within 30 ms, 100k
// within 150 ms; about 365 bytes a word (half of 730).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <string>

#include "BenchPanel.h"
#include "BenchScript.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "QtBenchMain.h"

namespace {

using namespace vorela;

double heapBytes() {
    malloc_trim(0);
    const auto info = mallinfo2();
    // Large blocks are mapped on their own and counted apart.
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_LoadToFirstFrame(benchmark::State& state) {
    const int words = static_cast<int>(state.range(0));
    // Two texts of the same length, so every load is a new text that must be laid out.
    const std::string texts[2] = {bench::script(words), bench::script(words) + "fin"};
    ManualRunLoop loop;
    bench::BenchPanel panel(loop);
    panel.text().repaint();

    const double before = heapBytes();
    panel.state.load(texts[1], "Bench");
    panel.text().repaint();
    const double held = heapBytes() - before;

    int next = 0;
    for (auto _ : state) {
        panel.state.load(texts[next], "Bench");
        panel.text().repaint();
        next = 1 - next;
    }
    state.counters["bytes_per_word"] = held / words;
}
BENCHMARK(BM_LoadToFirstFrame)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
