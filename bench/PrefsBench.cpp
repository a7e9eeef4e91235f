// Cost of the preferences store against a plain hash-map lookup: each benchmark reports
// "x_map", its time per operation divided by a map lookup timed inside the same
// benchmark, so the ratio holds whichever benchmarks run and in whatever order.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "Prefs/Prefs.h"

namespace {

using vorela::PropertyList;
using vorela::UserDefaults;
using vorela::Prefs::Key;

// About as many entries as a settled installation's standard suite holds.
constexpr int kEntries = 200;

std::string entryName(int i) { return "entry" + std::to_string(i); }

// A lookup of one key in a map of kEntries keys, in nanoseconds: the best of a few
// rounds, so a preemption during one round does not inflate the baseline.
double mapLookupNanoseconds() {
    std::unordered_map<std::string, double> map;
    for (int i = 0; i < kEntries; ++i) map.emplace(entryName(i), i);
    map.emplace("wpm", 140.0);
    const std::string name = "wpm";
    constexpr int kRounds = 5;
    constexpr int kLookups = 200000;
    double best = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLookups; ++i) {
            auto it = map.find(name);
            benchmark::DoNotOptimize(it->second);
        }
        const std::chrono::duration<double, std::nano> elapsed =
            std::chrono::steady_clock::now() - start;
        const double perLookup = elapsed.count() / kLookups;
        best = round == 0 ? perLookup : std::min(best, perLookup);
    }
    return best;
}

// Times the body per iteration and reports it against a baseline taken now.
template <class Body>
void timed(benchmark::State& state, Body&& body) {
    const double baseline = mapLookupNanoseconds();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) body();
    const std::chrono::duration<double, std::nano> elapsed =
        std::chrono::steady_clock::now() - start;
    const double perOperation = elapsed.count() / static_cast<double>(state.iterations());
    state.counters["map_ns"] = baseline;
    state.counters["x_map"] = perOperation / baseline;
}

void fill(UserDefaults& suite) {
    for (int i = 0; i < kEntries; ++i) suite.set(entryName(i), PropertyList(i));
}

std::shared_ptr<UserDefaults> filledInMemory() {
    auto suite = UserDefaults::inMemory();
    fill(*suite);
    return suite;
}

void BM_UnorderedMapLookup(benchmark::State& state) {
    std::unordered_map<std::string, double> map;
    for (int i = 0; i < kEntries; ++i) map.emplace(entryName(i), i);
    map.emplace("wpm", 140.0);
    const std::string name = "wpm";
    timed(state, [&] {
        auto it = map.find(name);
        benchmark::DoNotOptimize(it->second);
    });
}
BENCHMARK(BM_UnorderedMapLookup);

void BM_ReadRegisteredKeyOnStandardSuite(benchmark::State& state) {
    UserDefaults::setStandard(filledInMemory());
    const Key<double> wpm("wpm", 140.0);
    timed(state, [&] { benchmark::DoNotOptimize(vorela::Prefs::get(wpm)); });
}
BENCHMARK(BM_ReadRegisteredKeyOnStandardSuite);

void BM_ReadRegisteredKeyOnOwnSuite(benchmark::State& state) {
    const Key<double> wpm("wpm", 140.0, filledInMemory());
    timed(state, [&] { benchmark::DoNotOptimize(vorela::Prefs::get(wpm)); });
}
BENCHMARK(BM_ReadRegisteredKeyOnOwnSuite);

void BM_WriteChangedKeyInMemory(benchmark::State& state) {
    const Key<double> wpm("wpm", 140.0, filledInMemory());
    double value = 140.0;
    timed(state, [&] {
        value = value == 140.0 ? 150.0 : 140.0;
        vorela::Prefs::set(wpm, value);
    });
}
BENCHMARK(BM_WriteChangedKeyInMemory);

// A suite saved to a fresh file in a scratch folder, removed afterwards.
template <class Run>
void onFile(const char* folderName, Run&& run) {
    const auto folder = std::filesystem::temp_directory_path() / folderName;
    std::filesystem::remove_all(folder);
    {
        auto suite = UserDefaults::open((folder / "bench.plist").string());
        fill(*suite);
        suite->flush();
        run(suite);
        suite->flush();
    }
    std::filesystem::remove_all(folder);
}

// Alternates a key's value on a suite saved to disk. Queued: the caller's cost, the file
// itself being written on the suite's background queue, which coalesces the changes made
// meanwhile. Flushed: each change written through to disk (serialising the whole suite,
// fsync of the temporary file and of the folder, and the rename).
void writeChangedKeyOnFile(benchmark::State& state, const char* folderName, bool flushEach) {
    onFile(folderName, [&](const std::shared_ptr<UserDefaults>& suite) {
        const Key<double> wpm("wpm", 140.0, suite);
        double value = 140.0;
        timed(state, [&] {
            value = value == 140.0 ? 150.0 : 140.0;
            vorela::Prefs::set(wpm, value);
            if (flushEach) suite->flush();
        });
    });
}

void BM_WriteChangedKeyOnFile(benchmark::State& state) {
    writeChangedKeyOnFile(state, "vorela-prefs-bench-queued", false);
}
BENCHMARK(BM_WriteChangedKeyOnFile)->UseRealTime();

void BM_WriteChangedKeyOnFileFlushed(benchmark::State& state) {
    writeChangedKeyOnFile(state, "vorela-prefs-bench-flushed", true);
}
BENCHMARK(BM_WriteChangedKeyOnFileFlushed)->UseRealTime();

}  // namespace
