#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorela {

// Equality of texts by Unicode canonical equivalence, so that a composed and a
// decomposed accent compare equal. Byte-equal and all-ASCII pairs never reach the
// normaliser, which keeps the matcher's inner loop cheap.
namespace CanonicalText {

bool equal(std::string_view a, std::string_view b);
// Membership in sorted, distinct texts under the same equivalence.
bool contains(const std::vector<std::string>& sorted, std::string_view text);

}  // namespace CanonicalText
}  // namespace vorela
