#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Platform/Speech/TranscriptionLocale.h"
#include "Script/Token.h"

namespace vorela {

// Splits a script into spoken words with their comparison forms. A pure function of the
// text, the language and the word-boundary locale: nothing is kept between calls, so one
// tokenizer may be used from several threads at once.
class Tokenizer {
public:
    // Chooses the phonetic key and the number words; stored by its raw value.
    enum class Language { spanish, english };
    static constexpr std::array<Language, 2> allLanguages = {Language::spanish, Language::english};

    // `wordLocale` is the ICU locale whose word boundaries are used ("es_AR", "en_GB");
    // empty means the desktop's current locale.
    explicit Tokenizer(Language language, std::string wordLocale = {});

    Language language() const { return language_; }
    const std::string& wordLocale() const { return wordLocale_; }

    // The tokens of the whole text, in order, indexed from 0. Ranges address `text` when it
    // is valid UTF-8; ill-formed input is first replaced as unicode::sanitizeUtf8 does, and
    // the ranges then address that sanitised text (callers that keep a text sanitise it once
    // on entry, so the two are the same).
    std::vector<Token> tokenize(std::string_view text) const;
    // tokenize(text).size(), without building the tokens. The language plays no part: it
    // changes the tokens' keys, never where words are.
    long countWords(std::string_view text) const;

    // Lower-cased, without accents, letters, numbers and inner hyphens only; may be empty.
    static std::string normalize(std::string_view word);
    // Keys of a normalised word.
    static std::string spanishPhonetic(std::string_view word);
    static std::string englishPhonetic(std::string_view word);
    static std::string phonetic(std::string_view word, Language language);
    // Runs of one character become one character.
    static std::string collapseRepeats(std::string_view text);

    // ".", "!", "?" and "…": a word that absorbs one of them ends a sentence.
    static const std::set<char32_t>& sentenceEnders();

    // English for the English transcription locales, Spanish for the others.
    static Language languageFor(TranscriptionLocale locale);

private:
    Language language_ = Language::spanish;
    std::string wordLocale_;
};

std::string_view rawValue(Tokenizer::Language language);
std::optional<Tokenizer::Language> fromRawValue(std::type_identity<Tokenizer::Language>,
                                                std::string_view raw);

}  // namespace vorela
