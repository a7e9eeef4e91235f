#include "Script/Importers/UnicodeText.h"

#include <unicode/ucasemap.h>
#include <unicode/uchar.h>

#include <memory>

namespace vorela::scripttext {

namespace {

bool isSeparator(char32_t c) {
    const auto mask = U_GET_GC_MASK(static_cast<UChar32>(c));
    return (mask & U_GC_Z_MASK) != 0;
}

template <class Predicate>
std::string_view trim(std::string_view text, Predicate isTrimmed) {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool seenKept = false;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 0;
        const char32_t c = decodeAt(text, pos, length);
        if (!isTrimmed(c)) {
            if (!seenKept) begin = pos;
            seenKept = true;
            end = pos + length;
        }
        pos += length;
    }
    return seenKept ? text.substr(begin, end - begin) : std::string_view{};
}

struct CaseMapCloser {
    void operator()(UCaseMap* map) const { ucasemap_close(map); }
};

}  // namespace

bool isWhitespace(char32_t c) {
    if (c == U'\t' || c == U' ') return true;
    if (c < 0x80) return false;
    return u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR;
}

bool isWhitespaceOrNewline(char32_t c) {
    if (c == U' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85) return true;
    if (c < 0x80) return false;
    return isSeparator(c);
}

bool isPatternSpace(char32_t c) {
    if (c == U' ' || c == U'\t' || c == U'\n' || c == U'\f' || c == U'\r') return true;
    if (c < 0x80) return false;
    return isSeparator(c);
}

bool isDecimalDigit(char32_t c) {
    if (c < 0x80) return c >= U'0' && c <= U'9';
    return u_charType(static_cast<UChar32>(c)) == U_DECIMAL_DIGIT_NUMBER;
}

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Like decodeAt, but an invalid sequence gives kInvalid.
char32_t decodeStrict(std::string_view text, std::size_t pos, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t need = 0;
    char32_t value = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return kInvalid;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        if (pos + i >= text.size()) return kInvalid;
        const unsigned char b = byte(pos + i);
        const unsigned char lo = i == 1 ? low : 0x80;
        const unsigned char hi = i == 1 ? high : 0xBF;
        if (b < lo || b > hi) return kInvalid;
        value = (value << 6) | (b & 0x3F);
        length = i + 1;
    }
    return value;
}

}  // namespace

char32_t decodeAt(std::string_view text, std::size_t pos, std::size_t& length) {
    const char32_t c = decodeStrict(text, pos, length);
    return c == kInvalid ? 0xFFFD : c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[pos]);
        if (b < 0x80) {
            ++pos;
            continue;
        }
        std::size_t length = 0;
        if (decodeStrict(bytes, pos, length) == kInvalid) return false;
        pos += length;
    }
    return true;
}

std::string utf8Repairing(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t length = 0;
        appendUtf8(out, decodeAt(bytes, pos, length));
        pos += length;
    }
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) appendUtf8(out, static_cast<unsigned char>(ch));
    return out;
}

std::string_view trimWhitespace(std::string_view text) { return trim(text, isWhitespace); }

std::string_view trimWhitespaceAndNewlines(std::string_view text) {
    return trim(text, isWhitespaceOrNewline);
}

std::string lowercased(std::string_view text) {
    bool isAscii = true;
    for (const char ch : text) isAscii = isAscii && static_cast<unsigned char>(ch) < 0x80;
    if (isAscii) {
        std::string out(text);
        for (char& ch : out) {
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        }
        return out;
    }
    const std::string valid = utf8Repairing(text);
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

}  // namespace vorela::scripttext
