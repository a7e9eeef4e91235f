#include "Platform/Speech/PocketSphinx/EnglishPronouncer.h"

#include <array>

namespace vorela {

namespace {

struct Rule {
    std::string_view letters;
    std::array<std::string_view, 2> phones;
};

// Longest patterns first; the first that matches at a position wins.
constexpr Rule kRules[] = {
    {"tion", {"SH", "AH"}}, {"sion", {"ZH", "AH"}}, {"ough", {"AO", ""}}, {"igh", {"AY", ""}},
    {"tch", {"CH", ""}},    {"dge", {"JH", ""}},    {"th", {"TH", ""}},   {"sh", {"SH", ""}},
    {"ch", {"CH", ""}},     {"ph", {"F", ""}},      {"ck", {"K", ""}},    {"ng", {"NG", ""}},
    {"qu", {"K", "W"}},     {"wh", {"W", ""}},      {"wr", {"R", ""}},    {"kn", {"N", ""}},
    {"ee", {"IY", ""}},     {"ea", {"IY", ""}},     {"oo", {"UW", ""}},   {"ou", {"AW", ""}},
    {"ow", {"OW", ""}},     {"ai", {"EY", ""}},     {"ay", {"EY", ""}},   {"oi", {"OY", ""}},
    {"oy", {"OY", ""}},     {"au", {"AO", ""}},     {"aw", {"AO", ""}},   {"ie", {"IY", ""}},
    {"ei", {"EY", ""}},     {"oa", {"OW", ""}},     {"er", {"ER", ""}},   {"ir", {"ER", ""}},
    {"ur", {"ER", ""}},     {"ar", {"AA", "R"}},    {"or", {"AO", "R"}},  {"a", {"AE", ""}},
    {"b", {"B", ""}},       {"d", {"D", ""}},       {"e", {"EH", ""}},    {"f", {"F", ""}},
    {"h", {"HH", ""}},      {"i", {"IH", ""}},      {"j", {"JH", ""}},    {"k", {"K", ""}},
    {"l", {"L", ""}},       {"m", {"M", ""}},       {"n", {"N", ""}},     {"o", {"AA", ""}},
    {"p", {"P", ""}},       {"r", {"R", ""}},       {"s", {"S", ""}},     {"t", {"T", ""}},
    {"u", {"AH", ""}},      {"v", {"V", ""}},       {"w", {"W", ""}},     {"x", {"K", "S"}},
    {"z", {"Z", ""}},
};

bool isVowelLetter(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
}

}  // namespace

std::vector<std::string> EnglishPronouncer::phones(std::string_view spelling) {
    std::string w;
    for (const char c : spelling) {
        if (c >= 'a' && c <= 'z') w += c;
        if (c >= 'A' && c <= 'Z') w += char(c - 'A' + 'a');
    }
    // A final silent e after a consonant (make, home).
    if (w.size() > 2 && w.back() == 'e' && !isVowelLetter(w[w.size() - 2])) w.pop_back();
    std::vector<std::string> out;
    for (std::size_t i = 0; i < w.size();) {
        const char c = w[i];
        const char next = i + 1 < w.size() ? w[i + 1] : '\0';
        if (c == 'c') {  // soft before e, i, y
            out.push_back(next == 'e' || next == 'i' || next == 'y' ? "S" : "K");
            ++i;
            continue;
        }
        if (c == 'g' && (next == 'e' || next == 'i' || next == 'y')) {
            out.push_back("JH");
            ++i;
            continue;
        }
        if (c == 'g') {
            out.push_back("G");
            ++i;
            continue;
        }
        if (c == 'y') {  // a vowel at the end or between consonants
            out.push_back(i == 0 && isVowelLetter(next) ? "Y" : (i + 1 == w.size() ? "IY" : "IH"));
            ++i;
            continue;
        }
        if (i > 0 && c == w[i - 1] && !isVowelLetter(c)) {  // doubled consonant: one sound
            ++i;
            continue;
        }
        bool matched = false;
        for (const auto& rule : kRules) {
            if (w.compare(i, rule.letters.size(), rule.letters) != 0) continue;
            for (const auto& p : rule.phones) {
                if (!p.empty()) out.emplace_back(p);
            }
            i += rule.letters.size();
            matched = true;
            break;
        }
        if (!matched) ++i;
    }
    return out;
}

}  // namespace vorela
