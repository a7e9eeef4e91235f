#pragma once

#include <string_view>

namespace vorela {

// The string measure that grades near misses between a heard word and a token.
namespace Similarity {

// 1 - d / L over the UTF-8 bytes (d the Levenshtein distance, L the longer length), in
// [0, 1]; 1 for canonically equivalent texts. Returns 0 as soon as the length difference
// or a row of the distance table shows that d exceeds the allowance, the integer part of
// (1 - threshold) * L. A result below the threshold is possible: the caller compares.
double ratio(std::string_view a, std::string_view b, double threshold);

}  // namespace Similarity
}  // namespace vorela
