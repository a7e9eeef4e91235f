// Tokenizing a Spanish script with numbers, against one bare ICU word-boundary pass over
// the same text (UTF-8 to UTF-16, a word iterator, every boundary and its rule status).
// Goal: tokenizing costs at most four such passes, and grows linearly with the text.
#include <benchmark/benchmark.h>
#include <unicode/brkiter.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "Script/Tokenizer.h"
#include "Script/Unicode.h"

namespace vorela {
namespace {

constexpr const char* kWords[] = {"hoy",          "vamos",       "a",
                                  "hablar",       "del",         "proyecto",
                                  "logístico",    "que",         "cerramos",
                                  "en",           "marzo",       "con",
                                  "más",          "de",          "quince",
                                  "clientes",     "nuevos",      "y",
                                  "millones",     "seguidos",    "aproximadamente",
                                  "también",      "la",          "reunión",
                                  "equipo",       "año",         "crecimiento",
                                  "mañana",       "presupuesto", "pregunta",
                                  "importante",   "camión",      "ventas",
                                  "región",       "gracias",     "por",
                                  "acompañarnos", "esta",        "tarde",
                                  "quiero",       "agradecer",   "trabajo",
                                  "todos",        "ustedes",     "nuestro",
                                  "objetivo",     "es",          "llegar",
                                  "ciudad",       "Guatemala",   "México",
                                  "España"};
constexpr const char* kNumbers[] = {"2031",  "18.4%", "Q92",  "$1,500", "5K",
                                    "1985.", "3",     "2.5M", "€20",    "100"};

// A deterministic script of `wordCount` words: about one in twelve is a number, with
// commas, full stops and questions between them.
std::string spanishScript(std::int64_t wordCount) {
    std::string text;
    std::uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (std::int64_t i = 0; i < wordCount; ++i) {
        const std::uint32_t r = next();
        text += r % 12 == 0 ? kNumbers[next() % std::size(kNumbers)]
                            : kWords[next() % std::size(kWords)];
        switch (r % 17) {
            case 0:
                text += ". ";
                break;
            case 1:
                text += ", ";
                break;
            case 2:
                text += "? ";
                break;
            case 3:
                text += "\n";
                break;
            default:
                text += ' ';
        }
    }
    return text;
}

std::int64_t bareWordPass(const std::string& text) {
    const icu::UnicodeString text16 = unicode::toUtf16(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> words(
        icu::BreakIterator::createWordInstance(icu::Locale("es_ES"), status));
    words->setText(text16);
    std::int64_t wordLike = 0;
    for (std::int32_t end = words->next(); end != icu::BreakIterator::DONE; end = words->next()) {
        if (words->getRuleStatus() >= UBRK_WORD_NONE_LIMIT) ++wordLike;
    }
    return wordLike;
}

void BM_BareIcuWordPass(benchmark::State& state) {
    const std::string text = spanishScript(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(bareWordPass(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Tokenize(benchmark::State& state) {
    const std::string text = spanishScript(state.range(0));
    const Tokenizer tokenizer(Tokenizer::Language::spanish, "es_ES");
    for (auto _ : state) benchmark::DoNotOptimize(tokenizer.tokenize(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Both passes alternate in the same iterations, so the ratio is not skewed by the machine
// speeding up or slowing down between two separate benchmarks.
void BM_TokenizeToBarePassRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const std::string text = spanishScript(state.range(0));
    const Tokenizer tokenizer(Tokenizer::Language::spanish, "es_ES");
    double bareSeconds = 0;
    double tokenizeSeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(bareWordPass(text));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(tokenizer.tokenize(text));
        const auto t2 = Clock::now();
        bareSeconds += std::chrono::duration<double>(t1 - t0).count();
        tokenizeSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = bareSeconds / n * 1e3;
    state.counters["tokenize_ms"] = tokenizeSeconds / n * 1e3;
    state.counters["ratio"] = bareSeconds > 0 ? tokenizeSeconds / bareSeconds : 0;
}

BENCHMARK(BM_BareIcuWordPass)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tokenize)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TokenizeToBarePassRatio)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorela
