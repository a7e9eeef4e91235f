#include "Matcher/CanonicalText.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/stringpiece.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "Platform/Foundation/Utf8.h"

namespace vorela::CanonicalText {
namespace {

const icu::Normalizer2* nfd() {
    static const icu::Normalizer2* instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n = icu::Normalizer2::getNFDInstance(status);
        return U_SUCCESS(status) ? n : nullptr;
    }();
    return instance;
}

// The NFD form, or nothing when the text is not valid UTF-8 (such a text is then only
// ever equal to its own bytes).
std::optional<std::string> decomposed(std::string_view text) {
    const icu::Normalizer2* n = nfd();
    if (!n) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const icu::StringPiece piece(text.data(), static_cast<int32_t>(text.size()));
    if (n->isNormalizedUTF8(piece, status) && U_SUCCESS(status)) return std::string(text);
    if (U_FAILURE(status)) return std::nullopt;
    std::string out;
    icu::StringByteSink<std::string> sink(&out);
    n->normalizeUTF8(0, piece, sink, nullptr, status);
    if (U_FAILURE(status)) return std::nullopt;
    return out;
}

}  // namespace

bool equal(std::string_view a, std::string_view b) {
    if (a == b) return true;
    // An ASCII text is its own canonical form, and the only non-ASCII characters that
    // decompose to ASCII ones (the Kelvin sign, a few Greek punctuation marks) make the
    // other text non-ASCII, so two ASCII texts that differ in bytes differ.
    if (unicode::isAscii(a) && unicode::isAscii(b)) return false;
    const auto da = decomposed(a);
    const auto db = decomposed(b);
    return da && db && *da == *db;
}

bool contains(const std::vector<std::string>& sorted, std::string_view text) {
    if (sorted.empty()) return false;
    if (std::binary_search(sorted.begin(), sorted.end(), text, std::less<>())) return true;
    for (const auto& member : sorted) {
        if (equal(member, text)) return true;
    }
    return false;
}

}  // namespace vorela::CanonicalText
