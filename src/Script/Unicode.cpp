#include "Script/Unicode.h"

#include <unicode/brkiter.h>
#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>

#include <climits>
#include <cmath>
#include <memory>

namespace vorela::unicode {

namespace {

bool inCategories(char32_t c, std::uint32_t mask) {
    return (U_MASK(u_charType(static_cast<UChar32>(c))) & mask) != 0;
}

// Every printable ASCII character that is neither a letter, a digit nor a space is either
// punctuation or a symbol.
bool isAsciiPunctuationOrSymbol(char32_t c) {
    return c > ' ' && c < 0x7F && !(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'z') &&
           !(c >= 'A' && c <= 'Z');
}

// Reads inwards from both ends only as far as the first kept character, so trimming a
// long text costs nothing in its length.
template <class Predicate>
std::string_view trimmed(std::string_view text, Predicate isTrimmed) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t next = begin;
        if (!isTrimmed(nextCodePoint(text, next))) break;
        begin = next;
    }
    std::size_t end = text.size();
    while (end > begin) {
        std::size_t previous = end;
        if (!isTrimmed(previousCodePoint(text, previous)) || previous < begin) break;
        end = previous;
    }
    return begin == end ? std::string_view{} : text.substr(begin, end - begin);
}

struct CaseMapCloser {
    void operator()(UCaseMap* map) const { ucasemap_close(map); }
};

}  // namespace

icu::UnicodeString toUtf16(std::string_view text, std::int32_t* replacements) {
    if (replacements) *replacements = 0;
    icu::UnicodeString result;
    // A text beyond 2 GiB cannot be addressed by ICU's 32-bit offsets; nothing of that
    // size reaches the tokenizer (imports are bounded far below it).
    if (text.empty() || text.size() > INT32_MAX / 2) return result;
    const auto length = static_cast<std::int32_t>(text.size());
    // UTF-16 never needs more units than the UTF-8 text has bytes.
    char16_t* buffer = result.getBuffer(length);
    if (!buffer) return result;
    std::int32_t written = 0;
    std::int32_t substitutions = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(buffer, length, &written, text.data(), length, kReplacementCharacter,
                         &substitutions, &status);
    result.releaseBuffer(U_SUCCESS(status) ? written : 0);
    if (replacements) *replacements = substitutions;
    return result;
}

bool isPunctuationOrSymbol(char32_t c) {
    if (c < 0x80) return isAsciiPunctuationOrSymbol(c);
    return inCategories(c, U_GC_P_MASK | U_GC_S_MASK);
}

bool isSymbol(char32_t c) {
    // ASCII symbols (Sc, Sk, Sm): $ + < = > ^ ` | ~
    if (c < 0x80)
        return c == '$' || c == '+' || (c >= '<' && c <= '>') || c == '^' || c == '`' || c == '|' ||
               c == '~';
    return inCategories(c, U_GC_S_MASK);
}
bool isMark(char32_t c) { return inCategories(c, U_GC_M_MASK); }
bool isAlphanumeric(char32_t c) { return inCategories(c, U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK); }
bool isLetterOrNumber(char32_t c) { return inCategories(c, U_GC_L_MASK | U_GC_N_MASK); }
bool isDecimalDigit(char32_t c) {
    if (c < 0x80) return c >= '0' && c <= '9';
    return inCategories(c, U_GC_ND_MASK);
}

bool isWhitespace(char32_t c) {
    if (c == U'\t' || c == U' ') return true;
    if (c < 0x80) return false;
    return inCategories(c, U_GC_ZS_MASK);
}

bool isWhitespaceOrNewline(char32_t c) {
    if (c == U' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85) return true;
    if (c < 0x80) return false;
    return inCategories(c, U_GC_Z_MASK);
}

bool isPatternSpace(char32_t c) {
    if (c == U' ' || c == U'\t' || c == U'\n' || c == U'\f' || c == U'\r') return true;
    if (c < 0x80) return false;
    return inCategories(c, U_GC_Z_MASK);
}

bool hasNumericValue(char32_t c) {
    return u_getNumericValue(static_cast<UChar32>(c)) != U_NO_NUMERIC_VALUE;
}

std::optional<std::int64_t> wholeNumberValue(char32_t c) {
    const double value = u_getNumericValue(static_cast<UChar32>(c));
    // The largest numeric value in Unicode is 10^16; the bound only guards the cast.
    if (value == U_NO_NUMERIC_VALUE || value < 0 || value > 9.0e18) return std::nullopt;
    if (std::floor(value) != value) return std::nullopt;
    return static_cast<std::int64_t>(value);
}

bool continuesCharacter(char32_t c) {
    if (c < 0x300) return false;  // nothing below the combining diacritics joins a character
    const auto property =
        u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK);
    return property == U_GCB_EXTEND || property == U_GCB_ZWJ || property == U_GCB_SPACING_MARK;
}

std::string_view trimWhitespace(std::string_view text) { return trimmed(text, isWhitespace); }

std::string_view trimWhitespaceAndNewlines(std::string_view text) {
    return trimmed(text, isWhitespaceOrNewline);
}

std::string lowercased(std::string_view text) {
    if (isAscii(text)) {
        std::string out(text);
        for (char& ch : out) {
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        }
        return out;
    }
    const std::string valid = sanitizeUtf8(text);
    UErrorCode status = U_ZERO_ERROR;
    thread_local std::unique_ptr<UCaseMap, CaseMapCloser> map(ucasemap_open("", 0, &status));
    if (!map) return valid;
    std::string out(valid.size() + 16, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        status = U_ZERO_ERROR;
        const int32_t written =
            ucasemap_utf8ToLower(map.get(), out.data(), static_cast<int32_t>(out.size()),
                                 valid.data(), static_cast<int32_t>(valid.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(static_cast<std::size_t>(written));
            continue;
        }
        if (U_FAILURE(status)) return valid;
        out.resize(static_cast<std::size_t>(written));
        return out;
    }
    return valid;
}

Characters::Characters(std::string_view text) : text_(text), ascii_(isAscii(text)) {
    if (ascii_) return;
    // Most words outside ASCII are still one code point per character; only clusters
    // (Hangul jamo, marks, joiners, flags...) need ICU's character segmentation.
    bool simple = true;
    for (std::size_t i = 0; i < text.size() && simple;) {
        const auto c = static_cast<UChar32>(nextCodePoint(text, i));
        simple = u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK) == U_GCB_OTHER;
    }
    if (simple) {
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t start = i;
            nextCodePoint(text, i);
            clusters_.push_back(text.substr(start, i - start));
        }
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UText, decltype(&utext_close)> utext(
        utext_openUTF8(nullptr, text.data(), static_cast<std::int64_t>(text.size()), &status),
        &utext_close);
    std::unique_ptr<icu::BreakIterator> breaks(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !utext || !breaks) {
        clusters_.push_back(text);
        return;
    }
    breaks->setText(utext.get(), status);
    std::int32_t start = breaks->first();
    for (std::int32_t end = breaks->next(); end != icu::BreakIterator::DONE; end = breaks->next()) {
        clusters_.push_back(
            text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
        start = end;
    }
}

}  // namespace vorela::unicode
