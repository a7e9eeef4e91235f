#pragma once

#include <cstdint>
#include <string>

namespace vorela {

// Cardinal numbers in words, without accents, words separated by one space. Spanish has no
// unit above the million ("mil millones"), English none above it either ("one thousand
// million"), as speakers of the scripts read them.
class NumberWords {
public:
    static std::string spanish(std::uint64_t n);
    static std::string english(std::uint64_t n);
};

}  // namespace vorela
