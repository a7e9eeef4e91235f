// Cost of the preferences store against a plain hash-map lookup measured in the same
// run: each benchmark reports "x_map", its time per operation divided by the map's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "Prefs/Prefs.h"

namespace {

using vorela::UserDefaults;
using vorela::Prefs::Key;

double gMapNanoseconds = 0;  // set by the first benchmark, read by the others

// Google Benchmark calls each function several times while it sizes the run; the last
// call is the measurement, so the baseline is whatever the map's last call measured.
template <class Body>
void timed(benchmark::State& state, bool isBaseline, Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) body();
    const auto elapsed =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start);
    const double perOperation = elapsed.count() / static_cast<double>(state.iterations());
    if (isBaseline) gMapNanoseconds = perOperation;
    state.counters["x_map"] = perOperation / gMapNanoseconds;
}

void BM_UnorderedMapLookup(benchmark::State& state) {
    std::unordered_map<std::string, double> map{
        {"wpm", 140.0}, {"fontSize", 48.0}, {"mirror", 0.0}};
    const std::string name = "wpm";
    timed(state, true, [&] {
        auto it = map.find(name);
        benchmark::DoNotOptimize(it->second);
    });
}
BENCHMARK(BM_UnorderedMapLookup);

void BM_ReadRegisteredKeyOnStandardSuite(benchmark::State& state) {
    UserDefaults::setStandard(UserDefaults::inMemory());
    const Key<double> wpm("wpm", 140.0);
    timed(state, false, [&] { benchmark::DoNotOptimize(vorela::Prefs::get(wpm)); });
}
BENCHMARK(BM_ReadRegisteredKeyOnStandardSuite);

void BM_ReadRegisteredKeyOnOwnSuite(benchmark::State& state) {
    const Key<double> wpm("wpm", 140.0, UserDefaults::inMemory());
    timed(state, false, [&] { benchmark::DoNotOptimize(vorela::Prefs::get(wpm)); });
}
BENCHMARK(BM_ReadRegisteredKeyOnOwnSuite);

void BM_WriteChangedKeyInMemory(benchmark::State& state) {
    const Key<double> wpm("wpm", 140.0, UserDefaults::inMemory());
    double value = 140.0;
    timed(state, false, [&] {
        value = value == 140.0 ? 150.0 : 140.0;
        vorela::Prefs::set(wpm, value);
    });
}
BENCHMARK(BM_WriteChangedKeyInMemory);

// The caller's cost on a suite saved to disk: the file itself is written on the suite's
// background queue, coalescing the changes made meanwhile.
void BM_WriteChangedKeyOnFile(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "vorela-prefs-bench";
    std::filesystem::remove_all(folder);
    {
        auto suite = UserDefaults::open((folder / "bench.plist").string());
        for (int i = 0; i < 40; ++i)
            suite->set("entry" + std::to_string(i), vorela::PropertyList(i));
        const Key<double> wpm("wpm", 140.0, suite);
        double value = 140.0;
        timed(state, false, [&] {
            value = value == 140.0 ? 150.0 : 140.0;
            vorela::Prefs::set(wpm, value);
        });
        suite->flush();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteChangedKeyOnFile);

}  // namespace
