#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorela {

// Spanish spelling onto the phones of the Spanish acoustic model (A B CH D E F G GN I J
// K L LL M N O P R RR S T U V X Y), in the lexicon's own style: seseo, unstressed i and u
// kept as vowels, "x" as X. Spanish spelling is nearly phonemic, so rules cover the words
// the lexicon lacks.
struct SpanishPronouncer {
    // `spelling`: one word in lower case, accents kept. Letters outside Spanish spelling
    // are read as their nearest Spanish letter; nothing for a word without letters.
    static std::vector<std::string> phones(std::string_view spelling);
    // The same word for the English acoustic model, when the Spanish one is missing.
    static std::vector<std::string> arpabet(std::string_view spelling);
};

}  // namespace vorela
