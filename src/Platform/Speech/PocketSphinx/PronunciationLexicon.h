#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vorela {

// A pronouncing dictionary read once from disk: the Spanish model's lexicon or the
// English cmudict. Words are looked up by key(): lower case, without acute accents or
// diaeresis (ñ stays), letters and digits only, so "Ángel", "ANGEL" and "don't"/"dont"
// meet their entries. Read-only after load; any thread.
class PronunciationLexicon {
public:
    // Nothing when the file cannot be read.
    static std::optional<PronunciationLexicon> load(const std::filesystem::path& file);
    static PronunciationLexicon fromText(std::string_view text);

    // Every pronunciation, phones separated by single spaces; nothing when unknown.
    const std::vector<std::string>* find(std::string_view word) const;
    std::size_t size() const { return entries_.size(); }

    static std::string key(std::string_view word);
    // A letter in lower case without its accent; ñ and ü stay (they change the sound).
    static char32_t baseLetter(char32_t c);
    // The Spanish lexicon's accented keys were once read as Mac Roman from Latin-1 bytes
    // ("¡NGEL" for "ÁNGEL"): the intended word, or nothing when a character is no such
    // mistake and cannot be trusted.
    static std::optional<std::string> repairedKey(std::string_view raw);

private:
    std::unordered_map<std::string, std::vector<std::string>> entries_;
};

}  // namespace vorela
