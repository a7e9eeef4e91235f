#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Script/Token.h"
#include "Script/Tokenizer.h"

namespace vorela::testing {

// Pronounceable pseudo-words, one per index, of which no two are near misses or share a
// Spanish phonetic key: any two differ in at least two syllables. Word i is the same in
// every call, so scripts of any length agree on their common prefix.
std::string distinctWord(std::size_t index);
std::vector<std::string> distinctWords(std::size_t count);

// Tokens for words as the tokenizer makes them (normalised form, phonetic key in the
// language, consecutive indices); a word ending in "." ends a sentence.
std::shared_ptr<const std::vector<Token>> tokensFromWords(
    const std::vector<std::string>& words,
    Tokenizer::Language language = Tokenizer::Language::spanish);

}  // namespace vorela::testing
