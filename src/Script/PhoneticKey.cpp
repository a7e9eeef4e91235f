#include "Script/PhoneticKey.h"

#include "Script/Unicode.h"

namespace vorela {

namespace {

bool isAnyOf(std::string_view c, std::string_view letters) {
    return c.size() == 1 && letters.find(c[0]) != std::string_view::npos;
}

bool isVowel(std::string_view c) { return isAnyOf(c, "aeiou"); }

}  // namespace

std::string PhoneticKey::spanish(std::string_view word) {
    const unicode::Characters chars(word);
    std::string out;
    out.reserve(word.size() + 2);
    for (std::size_t i = 0; i < chars.size();) {
        const std::string_view c = chars[i];
        const std::string_view next = chars[i + 1];
        const std::string_view second = chars[i + 2];
        std::size_t consumed = 1;
        if (c == "h") {
        } else if (c == "v" || c == "w") {
            out += 'b';
        } else if (c == "z") {
            out += 's';
        } else if (c == "c") {
            if (next == "h") {
                out += "ch";
                consumed = 2;
            } else {
                out += isAnyOf(next, "ei") ? 's' : 'k';
            }
        } else if (c == "q") {
            out += 'k';
            if (next == "u") consumed = 2;
        } else if (c == "l") {
            if (next == "l") {
                out += 'y';
                consumed = 2;
            } else {
                out += 'l';
            }
        } else if (c == "g") {
            if (next == "u" && isAnyOf(second, "ei")) {
                out += 'g';
                consumed = 2;  // the u is silent; the vowel is read next
            } else {
                out += isAnyOf(next, "ei") ? 'j' : 'g';
            }
        } else if (c == "x") {
            out += "ks";
        } else {
            out += c;
        }
        i += consumed;
    }
    return collapseRepeats(out);
}

std::string PhoneticKey::english(std::string_view word) {
    if (word.empty()) return {};
    unicode::Characters chars(word);
    // The first letter of these pairs is silent: knight, gnome, pneumonia, aerial, write.
    for (std::string_view pair : {"kn", "gn", "pn", "ae", "wr"}) {
        if (chars[0] == pair.substr(0, 1) && chars[1] == pair.substr(1, 1)) {
            word.remove_prefix(1);
            chars = unicode::Characters(word);
            break;
        }
    }
    // A leading x sounds like s; the rest of the walk sees that s.
    const bool leadingX = chars[0] == "x";
    auto at = [&](std::size_t i) { return i == 0 && leadingX ? std::string_view("s") : chars[i]; };

    std::string out;
    out.reserve(word.size() + 2);
    for (std::size_t i = 0; i < chars.size();) {
        const std::string_view c = at(i);
        const std::string_view next = at(i + 1);
        std::size_t consumed = 1;
        if (next == c && c != "c") {
            // Of a run of equal letters only the last is coded.
        } else if (isVowel(c)) {
            if (i == 0) out += c;
        } else if (c == "b") {
            if (!(i + 1 == chars.size() && i > 0 && at(i - 1) == "m")) out += 'b';
        } else if (c == "c") {
            if (next == "h") {
                out += 'x';
                consumed = 2;
            } else {
                out += isAnyOf(next, "iey") ? 's' : 'k';
            }
        } else if (c == "d") {
            out += 't';
        } else if (c == "g") {
            if (next == "h") {
                consumed = 2;
            } else {
                out += isAnyOf(next, "iey") ? 'j' : 'k';
            }
        } else if (c == "p") {
            if (next == "h") {
                out += 'f';
                consumed = 2;
            } else {
                out += 'p';
            }
        } else if (c == "q") {
            out += 'k';
        } else if (c == "s" || c == "t") {
            if (next == "h") {
                out += c == "s" ? 'x' : '0';
                consumed = 2;
            } else {
                out += c;
            }
        } else if (c == "v") {
            out += 'f';
        } else if (c == "w" || c == "y") {
            if (isVowel(next)) out += c;
        } else if (c == "z") {
            out += 's';
        } else {
            out += c;
        }
        i += consumed;
    }
    return collapseRepeats(out);
}

std::string PhoneticKey::collapseRepeats(std::string_view text) {
    const unicode::Characters chars(text);
    std::string out;
    out.reserve(text.size());
    std::string_view last;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const std::string_view c = chars[i];
        if (i > 0 && c == last) continue;
        out += c;
        last = c;
    }
    return out;
}

}  // namespace vorela
