#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Platform/Speech/SpeechScript.h"

namespace vorela {

class PronunciationLexicon;

// What a decoder needs to follow one script: a dictionary of the script's words only (a
// full dictionary makes the decoder start in seconds) and the script's language model.
struct ScriptModel {
    std::string dictionary;  // "word PH PH ..." lines; "word(2) ..." for another way to say it
    std::string arpa;
    std::size_t wordCount = 0;
};

struct ScriptModelBuilder {
    enum class PhoneSet { spanishModel, englishModel };

    struct Options {
        PhoneSet phones = PhoneSet::englishModel;
        bool isSpanish = false;                         // the script's language
        const PronunciationLexicon* lexicon = nullptr;  // of the phone set's own model
        double garbageWeight = 0;                       // share of the off-script phone loop
    };

    static ScriptModel build(const SpeechScript& script, const Options& options);
    // The off-script words of the phone loop; a transcriber drops them.
    static bool isGarbage(std::string_view word) { return !word.empty() && word[0] == '_'; }
    static std::vector<std::string> pronunciations(std::string_view spelling,
                                                   const Options& options);
};

}  // namespace vorela
