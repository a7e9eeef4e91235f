#include "Platform/Foundation/Utf8.h"

#include <cstdint>
#include <cstring>

namespace vorela::unicode {

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

DecodedScalar decodeUtf8(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return {lead, 1, true};
    std::size_t need = 0;
    char32_t value = 0;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {kReplacementCharacter, 1, false};
    }
    for (std::size_t k = 1; k <= need; ++k) {
        const bool inRange = i + k < text.size() && byte(i + k) >= (k == 1 ? low : 0x80) &&
                             byte(i + k) <= (k == 1 ? high : 0xBF);
        if (!inRange) return {kReplacementCharacter, k, false};
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    return {value, need + 1, true};
}

char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const DecodedScalar decoded = decodeUtf8(text, i);
    i += decoded.length;
    return decoded.scalar;
}

char32_t previousCodePoint(std::string_view text, std::size_t& i) {
    // A sequence ends here only if it starts at the nearest byte that is not a
    // continuation byte (at most three back) and reading forwards stops exactly here.
    const std::string_view before = text.substr(0, i);
    std::size_t start = i - 1;
    while (start + 4 > i && start > 0 && isContinuation(static_cast<unsigned char>(text[start])))
        --start;
    if (start + 1 < i) {
        const DecodedScalar decoded = decodeUtf8(before, start);
        if (start + decoded.length == i) {
            i = start;
            return decoded.scalar;
        }
    }
    --i;
    return decodeUtf8(before, i).scalar;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementCharacter;
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

bool isAscii(std::string_view text) {
    for (const char ch : text) {
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    }
    return true;
}

bool isValidUtf8(std::string_view text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (std::size_t i = 0; i < text.size();) {
        // ASCII eight bytes at a time: most scripts are mostly ASCII.
        std::uint64_t eight = 0;
        if (i + sizeof eight <= text.size() &&
            (std::memcpy(&eight, text.data() + i, sizeof eight), (eight & kHighBits) == 0)) {
            i += sizeof eight;
            continue;
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const DecodedScalar decoded = decodeUtf8(text, i);
        if (!decoded.isValid) return false;
        i += decoded.length;
    }
    return true;
}

std::string sanitizeUtf8(std::string_view text) {
    if (isValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) appendUtf8(out, nextCodePoint(text, i));
    return out;
}

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const DecodedScalar decoded = decodeUtf8(text, i);
        i += decoded.length;
        const char32_t c = decoded.scalar;
        if (c == '\t' || c == '\n' || c == '\r') {
            out += ' ';
        } else if (decoded.isValid && c >= 0x20 && !(c >= 0x7F && c <= 0x9F) &&
                   c != kReplacementCharacter) {
            appendUtf8(out, c);
        }
    }
    return out;
}

namespace {

// Windows-1252's 0x80-0x9F; the rest of the page is Latin-1. 0 marks the five unused bytes.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

void appendWindows1252(std::string& out, std::string_view bytes) {
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        char32_t c = byte;
        if (byte >= 0x80 && byte <= 0x9F) c = kWindows1252High[byte - 0x80];
        appendUtf8(out, c == 0 ? kReplacementCharacter : c);
    }
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    appendWindows1252(out, bytes);
    return out;
}

}  // namespace vorela::unicode
