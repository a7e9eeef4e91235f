// One frame of the prompter panel (900 x 320 at 28 pt) and one full layout, on Qt's
// offscreen platform. A frame must not depend on the script's length.
#include <benchmark/benchmark.h>

#include <QApplication>
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
    double y = 0;
    for (auto _ : state) {
        // Walk through the script as a reading would: a few points per frame.
        y += 3.7;
        if (y > height) y = 0;
        view.setScrollY(y);
        QImage frame = loaded.widget.renderFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_Frame)->Arg(1000)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_FullLayout(benchmark::State& state) {
    Loaded loaded(static_cast<int>(state.range(0)));
    auto& view = loaded.widget.view();
    for (auto _ : state) view.rebuildContent();
}
BENCHMARK(BM_FullLayout)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
