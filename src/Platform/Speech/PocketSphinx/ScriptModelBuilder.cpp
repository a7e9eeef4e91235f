#include "Platform/Speech/PocketSphinx/ScriptModelBuilder.h"

#include <unordered_map>

#include "Platform/Speech/PocketSphinx/EnglishPronouncer.h"
#include "Platform/Speech/PocketSphinx/PronunciationLexicon.h"
#include "Platform/Speech/PocketSphinx/ScriptLanguageModel.h"
#include "Platform/Speech/PocketSphinx/SpanishPronouncer.h"

namespace vorela {

namespace {

constexpr const char* kSpanishPhones[] = {"A",  "B", "CH", "D",  "E", "F", "G", "GN", "I",
                                          "J",  "K", "L",  "LL", "M", "N", "O", "P",  "R",
                                          "RR", "S", "T",  "U",  "V", "X", "Y"};
constexpr const char* kEnglishPhones[] = {
    "AA", "AE", "AH", "AO", "AW", "AY", "B",  "CH", "D", "DH", "EH", "ER", "EY",
    "F",  "G",  "HH", "IH", "IY", "JH", "K",  "L",  "M", "N",  "NG", "OW", "OY",
    "P",  "R",  "S",  "SH", "T",  "TH", "UH", "UW", "V", "W",  "Y",  "Z",  "ZH"};

std::string joined(const std::vector<std::string>& phones) {
    std::string out;
    for (const auto& p : phones) {
        if (!out.empty()) out += ' ';
        out += p;
    }
    return out;
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

}  // namespace

std::vector<std::string> ScriptModelBuilder::pronunciations(std::string_view spelling,
                                                            const Options& options) {
    const bool spanishModel = options.phones == PhoneSet::spanishModel;
    if (options.lexicon && (spanishModel || !options.isSpanish)) {
        if (const auto* found = options.lexicon->find(spelling)) return *found;
    }
    std::vector<std::string> phones;
    if (options.isSpanish) {
        phones = spanishModel ? SpanishPronouncer::phones(spelling)
                              : SpanishPronouncer::arpabet(spelling);
    } else {
        phones = EnglishPronouncer::phones(spelling);
    }
    if (phones.empty()) return {};
    return {joined(phones)};
}

ScriptModel ScriptModelBuilder::build(const SpeechScript& script, const Options& options) {
    ScriptModel model;
    ScriptLanguageModel::Input input;
    // Dictionary word -> its pronunciations; one entry whatever spellings share the word.
    std::unordered_map<std::string, std::vector<std::string>> dictionary;
    std::vector<std::string> order;
    auto add = [&](const std::string& word, std::string_view spelling) {
        auto said = pronunciations(spelling, options);
        if (said.empty()) return false;
        auto [at, added] = dictionary.try_emplace(word);
        if (added) order.push_back(word);
        for (auto& p : said) {
            bool known = false;
            for (const auto& q : at->second) known = known || q == p;
            if (!known) at->second.push_back(std::move(p));
        }
        return true;
    };
    auto addReading = [&](const std::string& reading) {
        std::vector<std::string> words;
        for (const auto& w : splitWords(reading)) {
            const std::string name = PronunciationLexicon::key(w);
            if (!name.empty() && add(name, w)) words.push_back(name);
        }
        return words;
    };

    for (const auto& word : script.words) {
        if (word.readings.empty()) {
            if (!word.word.empty() && add(word.word.str(), word.spelling))
                input.stream.push_back(word.word.str());
            continue;
        }
        const std::string previous = input.stream.empty() ? std::string() : input.stream.back();
        for (std::size_t r = 0; r < word.readings.size(); ++r) {
            auto words = addReading(word.readings[r]);
            if (r == 0) {
                input.stream.insert(input.stream.end(), words.begin(), words.end());
            } else if (!words.empty()) {
                if (!previous.empty()) words.insert(words.begin(), previous);
                input.alternatives.push_back(std::move(words));
            }
        }
    }
    const bool spanishModel = options.phones == PhoneSet::spanishModel;
    if (options.garbageWeight > 0 || input.stream.empty()) {
        auto addGarbage = [&](const char* phone) {
            std::string name = "_" + PronunciationLexicon::key(phone);
            dictionary[name] = {phone};
            order.push_back(name);
            input.garbageWords.push_back(std::move(name));
        };
        if (spanishModel) {
            for (const char* p : kSpanishPhones) addGarbage(p);
        } else {
            for (const char* p : kEnglishPhones) addGarbage(p);
        }
        input.garbageWeight = input.stream.empty() ? 1.0 : options.garbageWeight;
    }
    model.wordCount = input.stream.size();
    model.arpa = ScriptLanguageModel::arpa(input);
    for (const auto& word : order) {
        const auto& said = dictionary[word];
        for (std::size_t i = 0; i < said.size(); ++i) {
            model.dictionary += i == 0 ? word : word + "(" + std::to_string(i + 1) + ")";
            model.dictionary += ' ';
            model.dictionary += said[i];
            model.dictionary += '\n';
        }
    }
    return model;
}

}  // namespace vorela
