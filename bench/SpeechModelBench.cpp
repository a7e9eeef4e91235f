#include <benchmark/benchmark.h>

#include "Platform/Speech/PocketSphinx/PronunciationLexicon.h"
#include "Platform/Speech/PocketSphinx/ScriptModelBuilder.h"
#include "Support/MatcherReplay.h"

namespace vorela {
namespace {

// A script of `words` words: the replay speech repeated, as a long talk repeats itself.
SpeechScript longScript(std::size_t words) {
    SpeechScript script{"es-ES", {}};
    const std::string& text = testing::spanishSpeech();
    while (script.words.size() < words) {
        std::string word;
        for (const char c : text + " ") {
            if (c == ' ' || c == '\n') {
                if (!word.empty() && script.words.size() < words)
                    script.words.push_back({CompactString(word), CompactString(word), {}});
                word.clear();
            } else if (c != ',' && c != '.') {
                word += c;
            }
        }
    }
    return script;
}

// Building the dictionary and trigram model for a 20,000-word script; the lexicon is read
// once per decoder, not per script, so it is loaded outside the timing.
void BM_ScriptModelFor20000Words(benchmark::State& state) {
    const auto lexicon = PronunciationLexicon::load(VORELA_SOURCE_DIR "/models/es/lexicon.txt")
                             .value_or(PronunciationLexicon());
    const SpeechScript script = longScript(20000);
    ScriptModelBuilder::Options options;
    options.phones = ScriptModelBuilder::PhoneSet::spanishModel;
    options.isSpanish = true;
    options.lexicon = &lexicon;
    options.garbageWeight = 0.8;
    for (auto _ : state) benchmark::DoNotOptimize(ScriptModelBuilder::build(script, options));
    state.SetLabel("lexicon entries " + std::to_string(lexicon.size()));
}
BENCHMARK(BM_ScriptModelFor20000Words)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorela
