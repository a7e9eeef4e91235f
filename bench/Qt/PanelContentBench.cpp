// The whole prompter panel (text, control bar, progress strip, silhouette) painted at
// 900 x 320 on Qt's offscreen platform. A frame must not depend on the script's length.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <string>

#include "App/AppState.h"
#include "App/Qt/PrompterContentWidget.h"
#include "BenchScript.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/Fake/FakeAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "QtBenchMain.h"
#include "Render/Qt/PrompterTextWidget.h"

namespace {

using namespace vorela;

using bench::script;

struct Panel {
    ManualRunLoop loop;
    FakeAccessibilitySettings accessibility;
    FakeUpdateFramework updates{loop};
    FakePasteboard pasteboard;
    MatcherTelemetry telemetry{std::nullopt};
    AppState state{AppServices{
        .runLoop = loop,
        .accessibility = accessibility,
        .audioEngine = std::make_shared<FakeAudioEngine>(loop),
        .workspaceCenter = std::make_shared<NotificationCenter>(loop),
        .updateFramework = updates,
        .pasteboard = pasteboard,
        .makeTranscriptionEngine = [] { return nullptr; },
        .telemetry = telemetry,
    }};
    PrompterContentWidget content{state, loop};
    QImage frame{900, 320, QImage::Format_ARGB32_Premultiplied};

    explicit Panel(int words) {
        state.load(script(words), "Bench");
        content.resize(900, 320);
        content.show();
        QApplication::processEvents();
        // The hover bar shown, as while the pointer rests on the panel.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&content.textWidget(), &enter);
        loop.advanceBy(0.2);
    }
};

void BM_PanelFrame(benchmark::State& state) {
    UserDefaults::setStandard(UserDefaults::inMemory());
    Panel panel(static_cast<int>(state.range(0)));
    auto& view = panel.content.textWidget().view();
    const double height = view.contentHeight();
    double y = 0;
    for (auto _ : state) {
        y += 3.7;
        if (y > height) y = 0;
        view.setScrollY(y);
        panel.frame.fill(Qt::transparent);
        panel.content.render(&panel.frame);
        benchmark::DoNotOptimize(panel.frame.constBits());
    }
}
BENCHMARK(BM_PanelFrame)
    ->Arg(1000)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
