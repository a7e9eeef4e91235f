#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ReadingPlan.h"
#include "SpeechTruth.h"

namespace vorela::follow {

// Synthesises spoken words with libespeak-ng and times each word from the synthesiser's own
// word events. espeak-ng keeps global state: use from one thread at a time.
class EspeakReader {
public:
    struct Voice {
        std::string name = "en-us";  // a voice with an optional variant, e.g. "es+f3"
        int rateWpm = 160;
        int pitch = 50;  // 0-100
    };

    struct Reading {
        std::vector<std::int16_t> samples;  // mono
        int sampleRate = 0;
        std::vector<SpeechTruth::Word> words;  // timed words, in spoken order
        int untimedWords = 0;  // spoken words espeak-ng gave no event (kept out of `words`)
    };

    // The words are joined by single spaces and read in one utterance; `leadInSeconds` of
    // silence come first, as before any reader starts. Nothing on failure, `error` says why.
    static std::optional<Reading> read(const std::vector<ReadingPlan::SpokenWord>& words,
                                       const Voice& voice, double leadInSeconds,
                                       std::string& error);
};

}  // namespace vorela::follow
