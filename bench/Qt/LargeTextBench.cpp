// Texts at the size bound (50 MiB, as an import or a link may bring): received by the
// running program and shown in the panel, a second one right after, and a start whose
// newest script is that large (the library opens it in its editor). Time to the painted
// frame, and peak_ratio: the process's peak resident memory during the step over the
// text's size. Run one benchmark per process (--benchmark_filter): the peak is the
// process's. Goal: peak_ratio at most 10, and the window of such a start within 2 s.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "App/Qt/ScriptLibraryView.h"
#include "App/ScriptLibraryViewModel.h"
#include "BenchPanel.h"
#include "BenchScript.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Time/Fake/ManualClock.h"
#include "QtBenchMain.h"
#include "Script/Importers/ScriptImporter.h"
#include "Script/ScriptLibrary.h"

namespace {

using namespace vorela;
namespace fs = std::filesystem;

std::string words(std::size_t bytes) {
    const std::string block = bench::script(2000);
    std::string text;
    text.reserve(bytes);
    while (text.size() + block.size() <= bytes) text += block;
    text.append(block, 0, bytes - text.size());
    return text;
}

double residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * 4096;
}

double peakBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024;
}

void report(benchmark::State& state, double before, std::size_t textBytes) {
    state.counters["peak_MB"] = (peakBytes() - before) / 1e6;
    state.counters["peak_ratio"] = (peakBytes() - before) / static_cast<double>(textBytes);
}

// What the running program does with a text handed over by a later start: clean it,
// load it, show it.
void receive(bench::BenchPanel& panel, const std::string& text) {
    panel.state.load(ScriptImporter::clean(text), "Texto seleccionado");
    panel.text().repaint();
}

void BM_ReceiveLargeText(benchmark::State& state) {
    std::string first = words(50u << 20);
    std::string second = words(49'000'000);
    ManualRunLoop loop;
    bench::BenchPanel panel(loop);
    const double before = residentBytes();
    for (auto _ : state) {
        receive(panel, first);
        // A link right after: the new text arrives while the old one is still shown.
        receive(panel, second);
    }
    report(state, before, first.size());
}
BENCHMARK(BM_ReceiveLargeText)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartWithLargeScript(benchmark::State& state) {
    const fs::path file = fs::temp_directory_path() / "vorela-bench-large.sqlite";
    fs::remove(file);
    ManualClock clock;
    std::size_t size = 0;
    {
        ScriptLibrary library(file, clock);
        clock.advance(1);
        std::string text = words(50u << 20);
        // Arg 1: one paragraph, as a text with no line feed arrives.
        if (state.range(0) == 1) std::replace(text.begin(), text.end(), '\n', ' ');
        size = text.size();
        library.create("Enorme", std::move(text));
        library.save();
    }
    ManualRunLoop loop;
    bench::BenchAppState app{loop};
    const double before = residentBytes();
    for (auto _ : state) {
        // The start: the library is read, the window opens on the newest script.
        ScriptLibrary library(file, clock);
        ScriptLibraryViewModel model{app.state, library, app.pasteboard};
        ScriptLibraryView view(model);
        view.resize(900, 520);
        view.show();
        QApplication::processEvents();
    }
    report(state, before, size);
    fs::remove(file);
}
BENCHMARK(BM_StartWithLargeScript)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
