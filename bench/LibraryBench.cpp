// The library with 1,000 scripts of the sample's size: opening it, reloading the sorted
// list, and searching (a title hit, a body hit, and a miss that reads every body); and the
// reload at 10,000 scripts (27 MB of bodies), which new, import, duplicate and delete run.
// Goal: a reload costs a frame (16 ms) at 10,000.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "Platform/Time/Fake/ManualClock.h"
#include "Script/SampleScript.h"
#include "Script/ScriptLibrary.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

ManualClock& clock() {
    static ManualClock clock;
    return clock;
}

// `count` scripts with the seeded sample among them.
fs::path makeStore(int count) {
    const fs::path path =
        fs::temp_directory_path() / ("vorela-bench-library-" + std::to_string(count) + ".sqlite");
    fs::remove(path);
    ScriptLibrary library(path, clock());
    auto& context = library.container()->mainContext();
    for (int i = 0; i < count - 1; ++i) {
        clock().advance(1);
        auto script = Script::make(
            "Charla número " + std::to_string(i), SampleScript::text(), "es-ES", clock().now(),
            std::nullopt, i % 3 == 0 ? std::optional<std::string>("Clientes") : std::nullopt);
        context.insert(script);
    }
    library.save();  // one transaction for the lot
    return path;
}

const fs::path& storeFile() {
    static const fs::path file = makeStore(1000);
    return file;
}

ScriptLibrary& library() {
    static ScriptLibrary library(storeFile(), clock());
    return library;
}

void BM_LibraryOpen1000(benchmark::State& state) {
    const fs::path& file = storeFile();
    for (auto _ : state) {
        ScriptLibrary opened(file, clock());
        if (opened.scripts().size() != 1000) state.SkipWithError("expected 1,000 scripts");
    }
}

void BM_LibraryReload1000(benchmark::State& state) {
    auto& lib = library();
    for (auto _ : state) {
        lib.reload();
        benchmark::DoNotOptimize(lib.scripts().data());
    }
}

void BM_LibraryReload10000(benchmark::State& state) {
    static const fs::path file = makeStore(10000);
    ScriptLibrary lib(file, clock());
    for (auto _ : state) {
        lib.reload();
        benchmark::DoNotOptimize(lib.scripts().data());
    }
}

void BM_LibrarySearch1000(benchmark::State& state, const char* query) {
    auto& lib = library();
    std::size_t found = 0;
    for (auto _ : state) found = lib.search(query).size();
    state.counters["found"] = static_cast<double>(found);
}

BENCHMARK(BM_LibraryOpen1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryReload1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryReload10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LibrarySearch1000, title, "NÚMERO 99")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LibrarySearch1000, body, "cafetales")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LibrarySearch1000, miss, "zeppelin")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorela
