#include "Platform/Speech/PocketSphinx/PronunciationLexicon.h"

#include <fstream>
#include <sstream>
#include <string_view>

#include "Platform/Foundation/Utf8.h"

namespace vorela {

namespace {

// What Mac Roman shows for the Latin-1 bytes of Spanish capitals, and the capitals meant,
// in the same order.
constexpr std::u32string_view kMacRomanMisreadings = U"¡…Õ”⁄¸„Î";
constexpr std::u32string_view kMacRomanMeant = U"ÁÉÍÓÚÜÃË";

char32_t fromMacRoman(char32_t c) {
    const auto at = kMacRomanMisreadings.find(c);
    return at == std::u32string_view::npos ? c : kMacRomanMeant[at];
}

// The marks a key drops. "ü" keeps its own letter: key() decides about it.
struct MarkedLetters {
    char32_t base;
    std::u32string_view marked;
};
constexpr MarkedLetters kMarkedLetters[] = {
    {U'a', U"áàâäã"}, {U'e', U"éèêë"}, {U'i', U"íìîï"},
    {U'o', U"óòôöõ"}, {U'u', U"úùû"},  {U'c', U"ç"},
};

bool isKeyCharacter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'ñ' || c > 0xFF;
}

}  // namespace

char32_t PronunciationLexicon::baseLetter(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) c += 32;  // Latin-1 capitals
    if (c < 0xE0 || c > 0xFF) return c;                // no marked Latin-1 small letter
    for (const auto& letter : kMarkedLetters)
        if (letter.marked.find(c) != std::u32string_view::npos) return letter.base;
    return c;
}

std::string PronunciationLexicon::key(std::string_view word) {
    std::string out;
    for (std::size_t i = 0; i < word.size();) {
        char32_t c = baseLetter(unicode::nextCodePoint(word, i));
        if (c == U'ü') c = U'u';
        if (isKeyCharacter(c)) unicode::appendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> PronunciationLexicon::repairedKey(std::string_view raw) {
    std::string out;
    for (std::size_t i = 0; i < raw.size();) {
        const char32_t c = fromMacRoman(unicode::nextCodePoint(raw, i));
        if (c > 0xFF) return std::nullopt;
        unicode::appendUtf8(out, c);
    }
    return out;
}

PronunciationLexicon PronunciationLexicon::fromText(std::string_view text) {
    PronunciationLexicon lexicon;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        const std::size_t split = line.find_first_of(" \t");
        if (split == std::string_view::npos || line.empty() || line[0] == ';') continue;
        std::string_view word = line.substr(0, split);
        if (const auto paren = word.find('('); paren != std::string_view::npos && paren > 0)
            word = word.substr(0, paren);  // "word(2)": another way to say it
        const auto repaired = repairedKey(word);
        if (!repaired) continue;
        std::string phones;
        std::istringstream in{std::string(line.substr(split))};
        for (std::string phone; in >> phone;) {
            if (phone[0] == '#') break;  // a comment after the phones
            while (!phone.empty() && phone.back() >= '0' && phone.back() <= '9')
                phone.pop_back();  // stress marks: the acoustic model has none
            if (!phones.empty()) phones += ' ';
            phones += phone;
        }
        const std::string k = key(*repaired);
        if (k.empty() || phones.empty()) continue;
        auto& variants = lexicon.entries_[k];
        bool known = false;
        for (const auto& v : variants) known = known || v == phones;
        if (!known) variants.push_back(std::move(phones));
    }
    return lexicon;
}

std::optional<PronunciationLexicon> PronunciationLexicon::load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return fromText(text.str());
}

const std::vector<std::string>* PronunciationLexicon::find(std::string_view word) const {
    const auto found = entries_.find(key(word));
    return found == entries_.end() ? nullptr : &found->second;
}

}  // namespace vorela
