#include "Script/NumberWords.h"

#include <string_view>

namespace vorela {

namespace {

constexpr std::string_view kSpanishToTwentyNine[] = {
    "cero",         "uno",         "dos",        "tres",        "cuatro",     "cinco",
    "seis",         "siete",       "ocho",       "nueve",       "diez",       "once",
    "doce",         "trece",       "catorce",    "quince",      "dieciseis",  "diecisiete",
    "dieciocho",    "diecinueve",  "veinte",     "veintiuno",   "veintidos",  "veintitres",
    "veinticuatro", "veinticinco", "veintiseis", "veintisiete", "veintiocho", "veintinueve"};
constexpr std::string_view kSpanishTens[] = {
    "", "", "", "treinta", "cuarenta", "cincuenta", "sesenta", "setenta", "ochenta", "noventa"};
constexpr std::string_view kSpanishHundreds[] = {
    "",           "ciento",      "doscientos",  "trescientos", "cuatrocientos",
    "quinientos", "seiscientos", "setecientos", "ochocientos", "novecientos"};

constexpr std::string_view kEnglishToNineteen[] = {
    "zero",     "one",     "two",     "three",     "four",     "five",    "six",
    "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
    "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr std::string_view kEnglishTens[] = {"",      "",      "twenty",  "thirty", "forty",
                                             "fifty", "sixty", "seventy", "eighty", "ninety"};

constexpr std::uint64_t kThousand = 1000;
constexpr std::uint64_t kMillion = 1000000;

void appendSpanish(std::uint64_t n, std::string& out);

void appendSpanishRest(std::uint64_t rest, std::string& out) {
    if (rest == 0) return;
    out += ' ';
    appendSpanish(rest, out);
}

void appendSpanish(std::uint64_t n, std::string& out) {
    if (n < 30) {
        out += kSpanishToTwentyNine[n];
    } else if (n < 100) {
        out += kSpanishTens[n / 10];
        if (n % 10 != 0) {
            out += " y ";
            out += kSpanishToTwentyNine[n % 10];
        }
    } else if (n == 100) {
        out += "cien";
    } else if (n < kThousand) {
        out += kSpanishHundreds[n / 100];
        appendSpanishRest(n % 100, out);
    } else if (n < kMillion) {
        if (n >= 2 * kThousand) {
            appendSpanish(n / kThousand, out);
            out += ' ';
        }
        out += "mil";
        appendSpanishRest(n % kThousand, out);
    } else {
        if (n < 2 * kMillion) {
            out += "un millon";
        } else {
            appendSpanish(n / kMillion, out);
            out += " millones";
        }
        appendSpanishRest(n % kMillion, out);
    }
}

void appendEnglish(std::uint64_t n, std::string& out);

void appendEnglishGroup(std::uint64_t n, std::uint64_t unit, std::string_view unitName,
                        std::string& out) {
    appendEnglish(n / unit, out);
    out += ' ';
    out += unitName;
    if (n % unit != 0) {
        out += ' ';
        appendEnglish(n % unit, out);
    }
}

void appendEnglish(std::uint64_t n, std::string& out) {
    if (n < 20) {
        out += kEnglishToNineteen[n];
    } else if (n < 100) {
        out += kEnglishTens[n / 10];
        if (n % 10 != 0) {
            out += ' ';
            out += kEnglishToNineteen[n % 10];
        }
    } else if (n < kThousand) {
        appendEnglishGroup(n, 100, "hundred", out);
    } else if (n < kMillion) {
        appendEnglishGroup(n, kThousand, "thousand", out);
    } else {
        appendEnglishGroup(n, kMillion, "million", out);
    }
}

}  // namespace

std::string NumberWords::spanish(std::uint64_t n) {
    std::string out;
    appendSpanish(n, out);
    return out;
}

std::string NumberWords::english(std::uint64_t n) {
    std::string out;
    appendEnglish(n, out);
    return out;
}

}  // namespace vorela
