#include "Voice/SpeechScriptBuilder.h"

#include "Platform/Foundation/Utf8.h"
#include "Script/NumberSpeller.h"
#include "Script/Tokenizer.h"
#include "Script/Unicode.h"

namespace vorela {

namespace {
// Letters of the word in lower case, accents kept, punctuation and hyphens dropped.
std::string spellingOf(std::string_view raw) {
    std::string letters;
    const std::string lower = unicode::lowercased(raw);
    for (std::size_t i = 0; i < lower.size();) {
        const char32_t c = unicode::nextCodePoint(lower, i);
        if (unicode::isLetterOrNumber(c) || unicode::isMark(c)) unicode::appendUtf8(letters, c);
    }
    return letters;
}
}  // namespace

std::optional<std::string> SpeechScriptBuilder::spanishGroupedReading(std::string_view raw) {
    std::string digits;
    std::size_t group = 0;  // digits since the last dot
    bool sawDot = false;
    std::size_t begin = 0;
    std::size_t end = raw.size();
    while (begin < end && !(raw[begin] >= '0' && raw[begin] <= '9')) ++begin;
    while (end > begin && !(raw[end - 1] >= '0' && raw[end - 1] <= '9')) --end;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = raw[i];
        if (c == '.') {
            if (group == 0 || group > 3 || (sawDot && group != 3)) return std::nullopt;
            sawDot = true;
            group = 0;
        } else if (c >= '0' && c <= '9') {
            digits += c;
            ++group;
        } else {
            return std::nullopt;
        }
    }
    // Up to 999.999.999.999.999: well inside the speller's range.
    if (!sawDot || group != 3 || digits.size() > 15) return std::nullopt;
    return NumberSpeller::spanish(std::stoll(digits));
}

std::shared_ptr<const SpeechScript> SpeechScriptBuilder::make(const std::vector<Token>& tokens,
                                                              TranscriptionLocale locale) {
    auto script = std::make_shared<SpeechScript>();
    script->localeIdentifier = std::string(rawValue(locale));
    const auto language = Tokenizer::languageFor(locale);
    script->words.reserve(tokens.size());
    for (const Token& token : tokens) {
        SpeechScriptWord word;
        word.word = token.norm;
        word.spelling = spellingOf(token.raw);
        if (!token.variants.empty()) {
            if (language == Tokenizer::Language::spanish) {
                if (auto grouped = spanishGroupedReading(token.raw))
                    word.readings.push_back(std::move(*grouped));
            }
            for (auto& reading : NumberSpeller::readings(token.raw, language))
                word.readings.push_back(std::move(reading));
        }
        script->words.push_back(std::move(word));
    }
    return script;
}

}  // namespace vorela
