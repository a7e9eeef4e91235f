#pragma once

#include <string>
#include <string_view>

namespace vorela {

// Spelling-based sound keys of a normalised word, so that words a recogniser hears with a
// different spelling ("vamos" and "bamos", "phone" and "fone") still compare equal. Both
// walk user-perceived characters; digits, hyphens and other scripts pass through.
class PhoneticKey {
public:
    static std::string spanish(std::string_view word);
    static std::string english(std::string_view word);
    // Runs of one character become one character; the last step of both keys.
    static std::string collapseRepeats(std::string_view text);
};

}  // namespace vorela
