#include "Script/Importers/TextCleanup.h"

#include "Script/Unicode.h"

namespace vorela {

namespace {

struct Replacement {
    std::string_view from;
    std::string_view to;
};

constexpr Replacement kTypographic[] = {
    {"\u201C", "\""}, {"\u201D", "\""}, {"\u2018", "'"}, {"\u2019", "'"},
    {"\u2013", "-"},  {"\u2014", "-"},  {"\u00A0", " "}, {"\u2022", ""},
};

// Steps 1 and 2 in one pass.
std::string normalizedCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char ch = text[pos];
        if (ch == '\r') {
            out.push_back('\n');
            pos += text.substr(pos).starts_with("\r\n") ? 2 : 1;
            continue;
        }
        if (static_cast<unsigned char>(ch) == 0xC2 || static_cast<unsigned char>(ch) == 0xE2) {
            bool replaced = false;
            for (const auto& r : kTypographic) {
                if (text.substr(pos).starts_with(r.from)) {
                    out.append(r.to);
                    pos += r.from.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced) continue;
        }
        out.push_back(ch);
        ++pos;
    }
    return out;
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        char ch = text[i];
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != lowerPrefix[i]) return false;
    }
    return true;
}

// Skips characters of one class from `pos`; returns the new position and the count.
template <class Predicate>
std::size_t skipWhile(std::string_view text, std::size_t pos, Predicate accepts,
                      std::size_t* count = nullptr) {
    std::size_t n = 0;
    while (pos < text.size()) {
        std::size_t next = pos;
        if (!accepts(unicode::nextCodePoint(text, next))) break;
        pos = next;
        ++n;
    }
    if (count) *count = n;
    return pos;
}

}  // namespace

std::size_t TextCleanup::slideHeadingLength(std::string_view line) {
    std::size_t pos = 0;
    if (startsWithIgnoringAsciiCase(line, "slide")) {
        pos = 5;
    } else if (startsWithIgnoringAsciiCase(line, "diapositiva")) {
        pos = 11;
    } else {
        return 0;
    }
    pos = skipWhile(line, pos, unicode::isPatternSpace);
    std::size_t digits = 0;
    pos = skipWhile(line, pos, unicode::isDecimalDigit, &digits);
    if (digits == 0) return 0;
    pos = skipWhile(line, pos, unicode::isPatternSpace);
    if (pos < line.size() && (line[pos] == ':' || line[pos] == '.' || line[pos] == '-')) ++pos;
    return skipWhile(line, pos, unicode::isPatternSpace);
}

std::size_t TextCleanup::bulletLength(std::string_view line) {
    std::size_t pos = 0;
    if (line.starts_with("-") || line.starts_with("*")) {
        pos = 1;
    } else if (line.starts_with("\u2022")) {
        pos = 3;
    } else {
        return 0;
    }
    std::size_t spaces = 0;
    pos = skipWhile(line, pos, unicode::isPatternSpace, &spaces);
    return spaces > 0 ? pos : 0;
}

std::string TextCleanup::clean(std::string_view text) {
    const std::string normalized = normalizedCharacters(text);
    std::string joined;
    joined.reserve(normalized.size());
    std::string_view rest = normalized;
    while (true) {
        const std::size_t end = rest.find('\n');
        std::string_view line = unicode::trimWhitespace(rest.substr(0, end));
        line.remove_prefix(slideHeadingLength(line));
        line.remove_prefix(bulletLength(line));
        joined.append(line);
        if (end == std::string_view::npos) break;
        joined.push_back('\n');
        rest.remove_prefix(end + 1);
    }

    std::string collapsed;
    collapsed.reserve(joined.size());
    std::size_t newlineRun = 0;
    for (const char ch : joined) {
        newlineRun = ch == '\n' ? newlineRun + 1 : 0;
        if (newlineRun <= 2) collapsed.push_back(ch);
    }
    return std::string(unicode::trimWhitespaceAndNewlines(collapsed));
}

}  // namespace vorela
