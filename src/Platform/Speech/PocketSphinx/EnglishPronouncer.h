#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorela {

// Letter-to-sound rules onto ARPAbet for English words the pronouncing dictionary lacks
// (names, coinages). The library has no grapheme-to-phoneme conversion; these common
// spelling patterns give a pronunciation close enough for a model that expects the word
// at that point of the script.
struct EnglishPronouncer {
    static std::vector<std::string> phones(std::string_view spelling);
};

}  // namespace vorela
