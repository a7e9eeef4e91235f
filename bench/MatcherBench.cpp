// One alignment against scripts of 1,000, 10,000 and 100,000 words. The search window is
// bounded, so the time must not grow with the script; the central state allows one
// alignment every 0.1 s. BM_AlignScaling reports the ratio of the 100,000-word median to
// the 1,000-word median (goal: at most 1.5) and the 100,000-word median against 0.1 s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "Matcher/ScriptMatcher.h"
#include "Support/MatcherReplay.h"

namespace vorela {
namespace {

constexpr auto kSpanish = Tokenizer::Language::spanish;
constexpr double kBudgetSeconds = 0.1;

// The speech repeated to `count` tokens, indices renumbered.
std::shared_ptr<const std::vector<Token>> scriptOf(long count) {
    static const auto speech = Tokenizer(kSpanish).tokenize(testing::spanishSpeech());
    auto tokens = std::make_shared<std::vector<Token>>();
    tokens->reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        tokens->push_back(speech[static_cast<std::size_t>(i) % speech.size()]);
        tokens->back().index = i;
    }
    return tokens;
}

enum class Scenario { following, missing, lost };

// A matcher in the middle of the script, in the scenario's state, whose next alignments
// leave it as it is: following re-accepts the same place; the others fail at a fixed time.
struct Setup {
    explicit Setup(long count, Scenario scenario) {
        matcher.setTokens(scriptOf(count));
        const long mid = count / 2;
        matcher.reset(mid);
        std::vector<std::string> heard;
        if (scenario == Scenario::following) {
            for (long i = mid - 6; i < mid; ++i)
                heard.push_back(matcher.tokens()[static_cast<std::size_t>(i)].raw.str());
        } else {
            // Off-script words of script-like lengths: every pair reaches the distance.
            heard = {"carretera", "ventanal", "murciélago", "despacho", "bicicleta", "olivar"};
        }
        matcher.ingest({heard, true, std::nullopt, now}, kSpanish, now);
        if (scenario == Scenario::lost) {
            matcher.align(now);
            now += matcher.config().lostTimeout;
        }
        matcher.align(now);
    }
    ScriptMatcher matcher;
    double now = 1000;
};

void BM_Align(benchmark::State& state, Scenario scenario) {
    Setup setup(state.range(0), scenario);
    for (auto _ : state) {
        benchmark::DoNotOptimize(setup.matcher.align(setup.now));
    }
}
BENCHMARK_CAPTURE(BM_Align, following, Scenario::following)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK_CAPTURE(BM_Align, missing, Scenario::missing)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK_CAPTURE(BM_Align, lost, Scenario::lost)->Arg(1000)->Arg(10000)->Arg(100000);

double medianSeconds(Setup& setup, int samples) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(setup.matcher.align(setup.now));
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + samples / 2, times.end());
    return times[static_cast<std::size_t>(samples / 2)];
}

// The widest search (lost, every pair a miss) is the worst case per alignment.
void BM_AlignScaling(benchmark::State& state) {
    Setup small(1000, Scenario::lost);
    Setup large(100000, Scenario::lost);
    double ratio = 0;
    double largeMedian = 0;
    for (auto _ : state) {
        const double smallMedian = medianSeconds(small, 501);
        largeMedian = medianSeconds(large, 501);
        ratio = largeMedian / smallMedian;
    }
    state.counters["ratio100kTo1k"] = ratio;
    state.counters["median100kMicros"] = largeMedian * 1e6;
    state.counters["shareOfBudget"] = largeMedian / kBudgetSeconds;
}
BENCHMARK(BM_AlignScaling)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorela
