#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Script/Tokenizer.h"

namespace vorela {

// The words a speaker may say for a number written in the script (a price, a percentage, a
// year), so that a spoken number word can match the token. Stateless.
class NumberSpeller {
public:
    enum class Currency { usd, eur, gtq };
    enum class Scale { million, thousand, billion };

    // Words separated by one space ("ciento uno", "twenty one"); every int64 value, the
    // smallest included, is spelled.
    static std::string spanish(std::int64_t n);
    static std::string english(std::int64_t n);

    // The distinct spoken words for a token's raw text, in ascending order, with the digit
    // string itself; empty when the text has no decimal digit or no readable integer.
    static std::vector<std::string> variants(std::string_view text, Tokenizer::Language language);
    // The phrases a reader says for the token, in order: the number as written, then its
    // reading as a year when it is one; empty like variants().
    static std::vector<std::string> readings(std::string_view text, Tokenizer::Language language);

    // "$" gives dollars, "€" euros, a "Q" directly before a number quetzales.
    static std::optional<Currency> detectCurrency(std::string_view text);
    // An "M", "K" or "B" (either case) right after a number character.
    static std::optional<Scale> detectScale(std::string_view text);
    static std::string_view scaleWord(Scale scale, Tokenizer::Language language,
                                      std::int64_t quantity);
    static std::string_view currencyWord(Currency currency, Tokenizer::Language language);
};

}  // namespace vorela
