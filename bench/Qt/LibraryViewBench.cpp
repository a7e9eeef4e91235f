// The library view over libraries of 1,000 and 10,000 scripts of the sample's size, on Qt's
// offscreen platform: opening the view, one keystroke in the editor and one character of
// search, each up to the painted frame. Goal: every one of them within a frame (16 ms) at
// both sizes. Then one keystroke in a script of 1 MB and of 5 MB: goal, what saving one
// row costs (no recount or relayout of the whole text).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "App/Qt/ScriptLibraryView.h"
#include "App/ScriptLibraryViewModel.h"
#include "BenchAppState.h"
#include "BenchScript.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Time/Fake/ManualClock.h"
#include "QtBenchMain.h"
#include "Script/SampleScript.h"
#include "Script/ScriptLibrary.h"

namespace {

using namespace vorela;
namespace fs = std::filesystem;

ManualClock& clock() {
    static ManualClock clock;
    return clock;
}

// A store of `count` scripts, one in three in a folder; built once per size and kept.
const fs::path& storeFile(int count) {
    static std::map<int, fs::path> files;
    auto [it, isNew] = files.try_emplace(count);
    if (!isNew) return it->second;
    it->second = fs::temp_directory_path() /
                 ("vorela-bench-library-view-" + std::to_string(count) + ".sqlite");
    fs::remove(it->second);
    ScriptLibrary library(it->second, clock());
    auto& context = library.container()->mainContext();
    for (int i = 1; i < count; ++i) {  // the seeded sample is the first
        clock().advance(1);
        context.insert(Script::make(
            "Charla número " + std::to_string(i), SampleScript::text(), "es-ES", clock().now(),
            std::nullopt, i % 3 == 0 ? std::optional<std::string>("Clientes") : std::nullopt));
    }
    library.save();
    return it->second;
}

struct Fixture {
    ManualRunLoop loop;
    bench::BenchAppState app{loop};
    ScriptLibrary library;
    ScriptLibraryViewModel model{app.state, library, app.pasteboard};

    explicit Fixture(int scripts) : library(storeFile(scripts), clock()) {}
};

std::unique_ptr<ScriptLibraryView> openView(ScriptLibraryViewModel& model) {
    auto view = std::make_unique<ScriptLibraryView>(model);
    view->resize(900, 520);
    view->show();
    QApplication::processEvents();
    return view;
}

void BM_LibraryViewOpen(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto view = openView(fixture.model);
        state.PauseTiming();
        view.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// Types one letter at the end of the selected script per iteration.
void typeAtTheEnd(benchmark::State& state, ScriptLibraryViewModel& model) {
    auto view = openView(model);
    auto* body = view->findChild<QPlainTextEdit*>("bodyEditor");
    body->moveCursor(QTextCursor::End);
    for (auto _ : state) {
        body->insertPlainText("a");
        QApplication::processEvents();
    }
}

void BM_LibraryViewKeystroke(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)));
    typeAtTheEnd(state, fixture.model);
}

void BM_LibraryViewSearchCharacter(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)));
    auto view = openView(fixture.model);
    auto* search = view->findChild<QLineEdit*>("searchField");
    // Each step adds or takes away one character, as typing and correcting do.
    const QString queries[] = {"c", "ca", "caf", "cafe", "cafet", "cafeta", "cafet", "cafe"};
    std::size_t step = 0;
    for (auto _ : state) {
        search->setText(queries[step++ % std::size(queries)]);
        QApplication::processEvents();
    }
}

// One keystroke in a long script of a small library.
void BM_LibraryViewKeystrokeLongScript(benchmark::State& state) {
    Fixture fixture(100);
    const auto megabytes = static_cast<std::size_t>(state.range(0));
    std::string text;
    while (text.size() < megabytes << 20) text += bench::script(2000);
    fixture.model.select(fixture.library.create("Largo", std::move(text)));
    typeAtTheEnd(state, fixture.model);
}

BENCHMARK(BM_LibraryViewOpen)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryViewKeystroke)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryViewSearchCharacter)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryViewKeystrokeLongScript)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace

VORELA_QT_BENCHMARK_MAIN()
