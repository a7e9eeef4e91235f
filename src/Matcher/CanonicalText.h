#pragma once

#include <set>
#include <string>
#include <string_view>

namespace vorela {

// Equality of texts by Unicode canonical equivalence, so that a composed and a
// decomposed accent compare equal. Byte-equal and all-ASCII pairs never reach the
// normaliser, which keeps the matcher's inner loop cheap.
namespace CanonicalText {

bool equal(std::string_view a, std::string_view b);
// Membership in a set of texts under the same equivalence.
bool contains(const std::set<std::string>& set, std::string_view text);

}  // namespace CanonicalText
}  // namespace vorela
