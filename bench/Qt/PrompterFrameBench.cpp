// One frame of the prompter text view (900 x 320 at 28 pt) painted into a reused image,
// as a backing store is, and one full layout, on Qt's offscreen platform. The CPU column
// is the process's CPU time, every thread counted.
// Goal: a frame at most 0.35 ms, the same for 1k and 20k words.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <string>

#include "BenchScript.h"
#include "Platform/Time/Fake/ManualClock.h"
#include "QtBenchMain.h"
#include "Render/Qt/PrompterTextWidget.h"
#include "Script/Tokenizer.h"

namespace {

using namespace vorela;

using bench::script;

struct Loaded {
    ManualClock clock;
    PrompterTextWidget widget{clock, Theme{}};
    explicit Loaded(int words) {
        const std::string text = script(words);
        auto tokens = std::make_shared<std::vector<Token>>(
            Tokenizer(Tokenizer::Language::spanish, "es_ES").tokenize(text));
        widget.resize(900, 320);
        widget.view().setViewSize({900, 320});
        widget.view().setContent(text, tokens);
    }
};

void BM_Frame(benchmark::State& state) {
    Loaded loaded(static_cast<int>(state.range(0)));
    auto& view = loaded.widget.view();
    const double height = view.contentHeight();
    QImage frame(900, 320, QImage::Format_ARGB32_Premultiplied);
    double y = 0;
    for (auto _ : state) {
        // Walk through the script as a reading would: a few points per frame.
        y += 3.7;
        if (y > height) y = 0;
        view.setScrollY(y);
        frame.fill(Qt::transparent);
        loaded.widget.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_Frame)
    ->Arg(1000)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_FullLayout(benchmark::State& state) {
    Loaded loaded(static_cast<int>(state.range(0)));
    auto& view = loaded.widget.view();
    for (auto _ : state) view.rebuildContent();
}
BENCHMARK(BM_FullLayout)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
