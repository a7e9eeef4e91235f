#include "Support/MatcherScripts.h"

namespace vorela::testing {
namespace {

// Consonants whose Spanish key is the letter itself, so keys never collide by sound.
constexpr const char* kConsonants = "bdfklmnprst";
constexpr std::size_t kConsonantCount = 11;
constexpr const char* kVowels = "aeiou";
constexpr std::size_t kSyllables = kConsonantCount * 5;

std::string syllable(std::size_t n) {
    return {kConsonants[n % kConsonantCount], kVowels[n / kConsonantCount]};
}

}  // namespace

std::string distinctWord(std::size_t index) {
    // The third syllable is a checksum of the index, so two indices that differ in one
    // of the first two syllables differ in the third as well.
    const std::size_t s0 = index % kSyllables;
    const std::size_t s1 = (index / kSyllables) % kSyllables;
    const std::size_t block = index / (kSyllables * kSyllables);
    const std::size_t s2 = (s0 + s1 + block) % kSyllables;
    std::string word = syllable(s0) + syllable(s1) + syllable(s2);
    // Beyond 55^2 words a fourth syllable keeps blocks apart.
    if (block > 0) word += syllable(block % kSyllables);
    return word;
}

std::vector<std::string> distinctWords(std::size_t count) {
    std::vector<std::string> words;
    words.reserve(count);
    for (std::size_t i = 0; i < count; ++i) words.push_back(distinctWord(i));
    return words;
}

std::shared_ptr<const std::vector<Token>> tokensFromWords(const std::vector<std::string>& words,
                                                          Tokenizer::Language language) {
    auto tokens = std::make_shared<std::vector<Token>>();
    tokens->reserve(words.size());
    for (const auto& word : words) {
        Token token;
        token.raw = word;
        token.norm = Tokenizer::normalize(word);
        token.phon = Tokenizer::phonetic(token.norm, language);
        token.index = static_cast<std::int32_t>(tokens->size());
        token.isSentenceEnd = !word.empty() && word.back() == '.';
        tokens->push_back(std::move(token));
    }
    return tokens;
}

}  // namespace vorela::testing
