#include "Script/NumberSpeller.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <limits>

#include "Script/NumberWords.h"
#include "Script/Unicode.h"

namespace vorela {

namespace {

using Language = Tokenizer::Language;

constexpr std::string_view kKeptSigns = "%$\u20AC\u00A3\u20A1.,";  // % $ € £ ₡ . ,

bool isKeptInTrim(char32_t c) {
    if (unicode::isAlphanumeric(c)) return true;
    std::size_t i = 0;
    while (i < kKeptSigns.size()) {
        if (unicode::nextCodePoint(kKeptSigns, i) == c) return true;
    }
    return false;
}

// The text without the leading and trailing characters that are neither alphanumeric nor
// one of the number signs.
std::string_view trimmed(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t next = begin;
        if (isKeptInTrim(unicode::nextCodePoint(text, next))) break;
        begin = next;
    }
    std::size_t end = text.size();
    while (end > begin) {
        std::size_t previous = end;
        if (isKeptInTrim(unicode::previousCodePoint(text, previous))) break;
        end = previous;
    }
    return text.substr(begin, end - begin);
}

bool containsDecimalDigit(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (unicode::isDecimalDigit(unicode::nextCodePoint(text, i))) return true;
    }
    return false;
}

// ASCII digits only, within the signed 64-bit range.
std::optional<std::int64_t> parseInteger(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        const int digit = c - '0';
        if (value > (kMax - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::string spell(std::int64_t n, Language language) {
    return language == Language::english ? NumberSpeller::english(n) : NumberSpeller::spanish(n);
}

void addWords(std::string_view phrase, std::vector<std::string_view>& words) {
    std::size_t start = 0;
    while (start <= phrase.size()) {
        const std::size_t space = std::min(phrase.find(' ', start), phrase.size());
        if (space > start) words.push_back(phrase.substr(start, space - start));
        start = space + 1;
    }
}

}  // namespace

std::string NumberSpeller::spanish(std::int64_t n) {
    // The magnitude is taken unsigned: negating the smallest int64 would overflow.
    if (n < 0) return "menos " + NumberWords::spanish(0 - static_cast<std::uint64_t>(n));
    return NumberWords::spanish(static_cast<std::uint64_t>(n));
}

std::string NumberSpeller::english(std::int64_t n) {
    if (n < 0) return "minus " + NumberWords::english(0 - static_cast<std::uint64_t>(n));
    return NumberWords::english(static_cast<std::uint64_t>(n));
}

std::optional<NumberSpeller::Currency> NumberSpeller::detectCurrency(std::string_view text) {
    if (text.find('$') != std::string_view::npos) return Currency::usd;
    if (text.find("\u20AC") != std::string_view::npos) return Currency::eur;
    // Only the first Q counts.
    for (std::size_t i = 0; i < text.size();) {
        if (u_toupper(static_cast<UChar32>(unicode::nextCodePoint(text, i))) != 'Q') continue;
        if (i >= text.size()) return std::nullopt;
        const char32_t next = unicode::nextCodePoint(text, i);
        if (unicode::hasNumericValue(
                static_cast<char32_t>(u_toupper(static_cast<UChar32>(next))))) {
            return Currency::gtq;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<NumberSpeller::Scale> NumberSpeller::detectScale(std::string_view text) {
    std::u32string upper;
    for (std::size_t i = 0; i < text.size();) {
        upper.push_back(static_cast<char32_t>(
            u_toupper(static_cast<UChar32>(unicode::nextCodePoint(text, i)))));
    }
    constexpr std::pair<char32_t, Scale> kLetters[] = {
        {U'M', Scale::million}, {U'K', Scale::thousand}, {U'B', Scale::billion}};
    for (const auto& [letter, scale] : kLetters) {
        const std::size_t last = upper.rfind(letter);
        if (last != std::u32string::npos && last > 0 && unicode::hasNumericValue(upper[last - 1])) {
            return scale;
        }
    }
    return std::nullopt;
}

std::string_view NumberSpeller::scaleWord(Scale scale, Language language, std::int64_t quantity) {
    if (language == Language::english) {
        switch (scale) {
            case Scale::million:
                return "million";
            case Scale::thousand:
                return "thousand";
            case Scale::billion:
                return "billion";
        }
    }
    switch (scale) {
        case Scale::million:
            return quantity == 1 ? "millon" : "millones";
        case Scale::thousand:
            return "mil";
        case Scale::billion:
            return "mil millones";
    }
    return {};
}

std::string_view NumberSpeller::currencyWord(Currency currency, Language language) {
    const bool english = language == Language::english;
    switch (currency) {
        case Currency::gtq:
            return english ? "quetzals" : "de quetzales";
        case Currency::usd:
            return english ? "dollars" : "dolares";
        case Currency::eur:
            return "euros";
    }
    return {};
}

namespace {
// How a number token is said: its phrase, its reading as a year (or empty), and the digit
// string it was read from.
struct Spoken {
    std::string phrase;
    std::string year;
    std::string digits;
};

std::optional<Spoken> speak(std::string_view text, Tokenizer::Language language) {
    using Language = Tokenizer::Language;
    const std::string_view s = trimmed(text);
    if (!containsDecimalDigit(s)) return std::nullopt;
    const bool percent = s.find('%') != std::string_view::npos;
    const auto currency = NumberSpeller::detectCurrency(text);
    const auto scale = NumberSpeller::detectScale(text);

    // Number characters and dots; a comma always separates thousands, so it is dropped.
    std::string digits;
    bool kept = false;
    for (std::size_t i = 0; i < s.size();) {
        const char32_t c = unicode::nextCodePoint(s, i);
        if (c == U',') {
            kept = true;
        } else if (c == U'.' || unicode::hasNumericValue(c)) {
            kept = true;
            unicode::appendUtf8(digits, c);
        }
    }
    if (!kept) return std::nullopt;

    const std::size_t dot = digits.find('.');
    const std::string_view integerPart = std::string_view(digits).substr(0, dot);
    const auto integer = parseInteger(integerPart);
    if (!integer) return std::nullopt;

    std::string phrase = spell(*integer, language);
    if (dot != std::string::npos && dot + 1 < digits.size()) {
        phrase += language == Language::english ? " point" : " punto";
        const std::string_view decimals = std::string_view(digits).substr(dot + 1);
        for (std::size_t i = 0; i < decimals.size();) {
            if (const auto value = unicode::wholeNumberValue(unicode::nextCodePoint(decimals, i))) {
                phrase += ' ';
                phrase += spell(*value, language);
            }
        }
    }
    if (scale) {
        phrase += ' ';
        phrase += NumberSpeller::scaleWord(*scale, language, *integer);
    }
    if (currency) {
        phrase += ' ';
        phrase += NumberSpeller::currencyWord(*currency, language);
    }
    if (percent) phrase += language == Language::english ? " percent" : " por ciento";

    std::string year;
    const bool isYear = dot == std::string::npos && !scale && !currency && !percent &&
                        *integer >= 1100 && *integer <= 2099 && *integer % 100 != 0;
    if (isYear) year = spell(*integer / 100, language) + " " + spell(*integer % 100, language);
    return Spoken{std::move(phrase), std::move(year), std::move(digits)};
}
}  // namespace

std::vector<std::string> NumberSpeller::readings(std::string_view text, Language language) {
    auto spoken = speak(text, language);
    if (!spoken) return {};
    std::vector<std::string> result{std::move(spoken->phrase)};
    if (!spoken->year.empty()) result.push_back(std::move(spoken->year));
    return result;
}

std::vector<std::string> NumberSpeller::variants(std::string_view text, Language language) {
    const auto spoken = speak(text, language);
    if (!spoken) return {};
    const std::string& phrase = spoken->phrase;
    const std::string& year = spoken->year;
    const std::string& digits = spoken->digits;

    std::vector<std::string_view> words;
    words.reserve(24);
    addWords(phrase, words);
    addWords(year, words);
    words.push_back(digits);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    std::vector<std::string> result;
    result.reserve(words.size());
    for (std::string_view word : words) {
        if (word != "y" && word != "and") result.emplace_back(word);
    }
    return result;
}

}  // namespace vorela
