// A script of 1M characters in one paragraph, once as words and once as a single run with
// no space (a pasted hash, a log line), up to the first painted frame: in the panel (load
// and repaint) and in the library window (its editor shows the script when the window
// opens). Qt breaks a run without a space into lines in time quadratic in its length: 83 s
// for the window and 112 s for the panel. Goal: the run within 2x of the words.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>

#include "App/Qt/ScriptLibraryView.h"
#include "App/ScriptLibraryViewModel.h"
#include "BenchPanel.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Time/Fake/ManualClock.h"
#include "QtBenchMain.h"
#include "Script/ScriptLibrary.h"

namespace {

using namespace vorela;
namespace fs = std::filesystem;

constexpr std::size_t kCharacters = 1'000'000;

// Arg 0: words of six letters and a space; arg 1: the same letters with no space.
std::string text(benchmark::State& state) {
    std::string text;
    text.reserve(kCharacters);
    const bool isRun = state.range(0) == 1;
    while (text.size() < kCharacters)
        text += isRun ? "palabr"
                        "a"
                      : "palabr ";
    text.resize(kCharacters);
    state.SetLabel(isRun ? "one run" : "words");
    return text;
}

void BM_PanelFirstFrame(benchmark::State& state) {
    // Two texts, so every load is a new text that must be laid out.
    const std::string texts[2] = {text(state), text(state) + "x"};
    ManualRunLoop loop;
    bench::BenchPanel panel(loop);
    int next = 0;
    for (auto _ : state) {
        panel.state.load(texts[next], "Bench");
        panel.text().repaint();
        next = 1 - next;
    }
}
BENCHMARK(BM_PanelFirstFrame)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_WindowFirstFrame(benchmark::State& state) {
    ManualRunLoop loop;
    ManualClock clock;
    bench::BenchAppState app{loop};
    const fs::path file = fs::temp_directory_path() / "vorela-bench-unbreakable.sqlite";
    fs::remove(file);
    ScriptLibrary library(file, clock);
    clock.advance(1);
    library.create("Largo", text(state));
    ScriptLibraryViewModel model{app.state, library, app.pasteboard};
    for (auto _ : state) {
        // The newest script is selected and shown as the window opens.
        auto view = std::make_unique<ScriptLibraryView>(model);
        view->resize(900, 520);
        view->show();
        QApplication::processEvents();
        state.PauseTiming();
        view.reset();
        model.select(nullptr);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    fs::remove(file);
}
BENCHMARK(BM_WindowFirstFrame)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
