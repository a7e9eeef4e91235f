#pragma once

#include <string>
#include <vector>

namespace vorela {

// The language model a recogniser follows a script with: a trigram model of the script
// read as one continuous stream, with absolute discounting and back-off, written as ARPA
// text. A small discount keeps it tight, so the script's own word order dominates.
//
// Off-script speech needs somewhere to go: `garbageWords` (one per phone) share
// `garbageWeight` of the unigram mass and are reached only by backing off, so an ad-lib
// comes out as garbage instead of being forced into script words.
struct ScriptLanguageModel {
    static constexpr double kDiscount = 0.05;

    struct Input {
        std::vector<std::string> stream;  // the script's words in reading order
        // Other ways to say a stretch (a number's second reading), with a word of context
        // on each side; they add n-grams but no sentence of their own.
        std::vector<std::vector<std::string>> alternatives;
        std::vector<std::string> garbageWords;
        double garbageWeight = 0;  // 0...1
    };

    static std::string arpa(const Input& input);
};

}  // namespace vorela
