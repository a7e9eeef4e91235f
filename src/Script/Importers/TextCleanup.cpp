#include "Script/Importers/TextCleanup.h"

#include <algorithm>
#include <utility>

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

// The lead bytes of every replaced character: 0xC2 and 0xE2 are the only bytes that 0x20
// turns into 0xE2.
std::size_t nextReplacementLead(std::string_view line, std::size_t pos) {
    while (pos < line.size() && (static_cast<unsigned char>(line[pos]) | 0x20) != 0xE2) ++pos;
    return pos;
}

// Step 2 on one line (step 1 has split the lines); `scratch` holds the result when something
// may be replaced, and lines without a lead byte are never copied.
std::string_view replaceTypographic(std::string_view line, std::string& scratch) {
    std::size_t lead = nextReplacementLead(line, 0);
    if (lead == line.size()) return line;
    scratch.assign(line.substr(0, lead));
    while (lead < line.size()) {
        std::size_t pos = lead + 1;
        const std::string_view rest = line.substr(lead);
        bool replaced = false;
        for (const auto& r : kTypographic) {
            if (rest.starts_with(r.from)) {
                scratch.append(r.to);
                pos = lead + r.from.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) scratch.push_back(line[lead]);
        lead = nextReplacementLead(line, pos);
        scratch.append(line.substr(pos, lead - pos));
    }
    return scratch;
}

// The end of the line starting at `pos` and the start of the next one (npos after the
// last): "\r\n", "\r" and "\n" each end a line.
std::pair<std::size_t, std::size_t> lineEnd(std::string_view text, std::size_t pos) {
    const std::size_t newline = std::min(text.find('\n', pos), text.size());
    const std::size_t cr = text.substr(0, newline).find('\r', pos);
    if (cr != std::string_view::npos)
        return {cr, text.substr(cr).starts_with("\r\n") ? cr + 2 : cr + 1};
    if (newline < text.size()) return {newline, newline + 1};
    return {text.size(), std::string_view::npos};
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
    // One pass: each line is cut, its characters replaced, trimmed and stripped of headings
    // and bullets as it is joined, and a run of more than two line breaks is cut as it is
    // written (a line break follows every line but the last; only an empty line lets a run
    // grow).
    std::string joined;
    joined.reserve(text.size());
    std::string scratch;
    std::size_t newlineRun = 0;
    std::size_t pos = 0;
    while (true) {
        const auto [end, next] = lineEnd(text, pos);
        std::string_view line = replaceTypographic(text.substr(pos, end - pos), scratch);
        line = unicode::trimWhitespace(line);
        line.remove_prefix(slideHeadingLength(line));
        line.remove_prefix(bulletLength(line));
        if (!line.empty()) {
            joined.append(line);
            newlineRun = 0;
        }
        if (next == std::string_view::npos) break;
        if (++newlineRun <= 2) joined.push_back('\n');
        pos = next;
    }

    const std::string_view kept = unicode::trimWhitespaceAndNewlines(joined);
    if (kept.empty()) return {};
    const auto from = static_cast<std::size_t>(kept.data() - joined.data());
    joined.resize(from + kept.size());
    joined.erase(0, from);
    return joined;
}

}  // namespace vorela
