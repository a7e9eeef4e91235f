// Word tracking on perturbed readings: for each kind of perturbation, the share of spoken
// words after which the cursor lay within 3 tokens of the speaker (counter "within3"),
// and the time one whole replay takes.
#include <benchmark/benchmark.h>

#include "Support/MatcherReplay.h"

namespace vorela {
namespace {

using testing::Reading;
using testing::ReadingBuilder;

enum class Perturbation { clean, substituted, dropped, repeated, skipped, adLibbed, numbers };

Reading readingFor(const ReadingBuilder& builder, Perturbation p) {
    switch (p) {
        case Perturbation::clean:
            return builder.clean();
        case Perturbation::substituted:
            return builder.substituted(0.25);  // a weak recogniser
        case Perturbation::dropped:
            return builder.dropped(0.15);
        case Perturbation::repeated:
            return builder.repeatedSentence();
        case Perturbation::skipped:
            return builder.skippedParagraph();
        case Perturbation::adLibbed:
            return builder.adLibbed(10);
        case Perturbation::numbers:
            return builder.numbersAsWords();
    }
    return builder.clean();
}

void BM_Replay(benchmark::State& state, Perturbation perturbation) {
    const auto language = Tokenizer::Language::spanish;
    const auto& text = testing::spanishSpeech();
    const auto tokens =
        std::make_shared<const std::vector<Token>>(Tokenizer(language).tokenize(text));
    double share = 0;
    double words = 0;
    // Several seeds, so one lucky draw does not decide the figure.
    constexpr unsigned kSeeds = 8;
    std::vector<Reading> readings;
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        readings.push_back(readingFor(ReadingBuilder(text, *tokens, language, seed), perturbation));
    }
    for (auto _ : state) {
        share = 0;
        words = 0;
        for (const auto& reading : readings) {
            const auto result = testing::replay(tokens, reading, MatcherConfig{}, language);
            share += result.shareWithin(3) / kSeeds;
            words += static_cast<double>(result.truth.size()) / kSeeds;
        }
    }
    state.counters["within3"] = share;
    state.counters["words"] = words;
}

BENCHMARK_CAPTURE(BM_Replay, clean, Perturbation::clean)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Replay, substituted25, Perturbation::substituted)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Replay, dropped15, Perturbation::dropped)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Replay, repeatedSentence, Perturbation::repeated)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Replay, skippedParagraph, Perturbation::skipped)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Replay, adLibbed10, Perturbation::adLibbed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Replay, numbersAsWords, Perturbation::numbers)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorela
