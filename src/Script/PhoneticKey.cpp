#include "Script/PhoneticKey.h"

#include "Script/Unicode.h"

#include <algorithm>

namespace vorela {

namespace {

// The keys are written once for two views of a word: ASCII bytes (nearly every normalised
// word, and the hot path of tokenizing) and user-perceived characters (everything else).
// A character is a byte (or -1 past the end) in the first and a string view (empty past the
// end) in the second.
struct AsciiWord {
    std::string_view text;
    std::size_t size() const { return text.size(); }
    int operator[](std::size_t i) const { return i < text.size() ? static_cast<unsigned char>(text[i]) : -1; }
};

struct ClusterWord {
    const unicode::Characters& chars;
    std::size_t size() const { return chars.size(); }
    std::string_view operator[](std::size_t i) const { return chars[i]; }
};

bool is(int c, char letter) { return c == letter; }
bool is(std::string_view c, char letter) { return c.size() == 1 && c[0] == letter; }

template <class Char>
bool isAnyOf(const Char& c, std::string_view letters) {
    for (char letter : letters) {
        if (is(c, letter)) return true;
    }
    return false;
}

template <class Char>
bool isVowel(const Char& c) { return isAnyOf(c, "aeiou"); }

// Where a key is written. An ASCII key goes to a byte buffer that collapses runs as they are
// written; a key of other characters goes to a string and collapses afterwards, on whole
// characters.
struct AsciiKey {
    char* bytes = nullptr;
    std::size_t size = 0;
    void put(char c) {
        if (size == 0 || bytes[size - 1] != c) bytes[size++] = c;
    }
    void put(int c) { put(static_cast<char>(c)); }
};

struct ClusterKey {
    std::string& text;
    void put(char c) { text += c; }
    void put(std::string_view c) { text += c; }
};

int letterLike(int, char letter) { return letter; }
std::string_view letterLike(std::string_view, char letter) {
    static constexpr char kAscii[] = "abcdefghijklmnopqrstuvwxyz";
    return letter >= 'a' && letter <= 'z' ? std::string_view(kAscii + (letter - 'a'), 1) : std::string_view();
}

// Writes the key of an ASCII word; a key is at most twice as long as its word ("x" gives "ks").
template <class Walk>
std::string asciiKey(std::string_view word, Walk&& walk) {
    constexpr std::size_t kStackWord = 64;
    char stack[2 * kStackWord];
    std::string heap;
    AsciiKey key{stack};
    if (word.size() > kStackWord) {
        heap.resize(2 * word.size());
        key.bytes = heap.data();
    }
    walk(AsciiWord{word}, key);
    return std::string(key.bytes, key.size);
}

template <class Word, class Key>
void spanishKey(const Word& word, Key& out) {
    for (std::size_t i = 0; i < word.size();) {
        const auto c = word[i];
        const auto next = word[i + 1];
        std::size_t consumed = 1;
        if (is(c, 'h')) {
        } else if (is(c, 'v') || is(c, 'w')) {
            out.put('b');
        } else if (is(c, 'z')) {
            out.put('s');
        } else if (is(c, 'c')) {
            if (is(next, 'h')) {
                out.put('c');
                out.put('h');
                consumed = 2;
            } else {
                out.put(isAnyOf(next, "ei") ? 's' : 'k');
            }
        } else if (is(c, 'q')) {
            out.put('k');
            if (is(next, 'u')) consumed = 2;
        } else if (is(c, 'l')) {
            out.put(is(next, 'l') ? 'y' : 'l');
            if (is(next, 'l')) consumed = 2;
        } else if (is(c, 'g')) {
            if (is(next, 'u') && isAnyOf(word[i + 2], "ei")) {
                out.put('g');
                consumed = 2;  // the u is silent; the vowel is read next
            } else {
                out.put(isAnyOf(next, "ei") ? 'j' : 'g');
            }
        } else if (is(c, 'x')) {
            out.put('k');
            out.put('s');
        } else {
            out.put(c);
        }
        i += consumed;
    }
}

template <class Word, class Key>
void englishKey(const Word& word, Key& out) {
    // A leading x sounds like s; the rest of the walk sees that s.
    const bool leadingX = is(word[0], 'x');
    auto at = [&](std::size_t i) { return i == 0 && leadingX ? letterLike(word[0], 's') : word[i]; };
    for (std::size_t i = 0; i < word.size();) {
        const auto c = at(i);
        const auto next = at(i + 1);
        std::size_t consumed = 1;
        if (next == c && !is(c, 'c')) {
            // Of a run of equal letters only the last is coded.
        } else if (isVowel(c)) {
            if (i == 0) out.put(c);
        } else if (is(c, 'b')) {
            if (!(i + 1 == word.size() && i > 0 && is(at(i - 1), 'm'))) out.put('b');
        } else if (is(c, 'c')) {
            if (is(next, 'h')) {
                out.put('x');
                consumed = 2;
            } else {
                out.put(isAnyOf(next, "iey") ? 's' : 'k');
            }
        } else if (is(c, 'd')) {
            out.put('t');
        } else if (is(c, 'g')) {
            if (is(next, 'h')) {
                consumed = 2;
            } else {
                out.put(isAnyOf(next, "iey") ? 'j' : 'k');
            }
        } else if ((is(c, 'p') || is(c, 's') || is(c, 't')) && is(next, 'h')) {
            out.put(is(c, 'p') ? 'f' : is(c, 's') ? 'x' : '0');
            consumed = 2;
        } else if (is(c, 'q')) {
            out.put('k');
        } else if (is(c, 'v')) {
            out.put('f');
        } else if (is(c, 'w') || is(c, 'y')) {
            if (isVowel(next)) out.put(c);
        } else if (is(c, 'z')) {
            out.put('s');
        } else {
            out.put(c);
        }
        i += consumed;
    }
}

}  // namespace

std::string PhoneticKey::spanish(std::string_view word) {
    if (unicode::isAscii(word)) {
        return asciiKey(word, [](const AsciiWord& w, AsciiKey& key) { spanishKey(w, key); });
    }
    const unicode::Characters chars(word);
    std::string written;
    ClusterKey key{written};
    spanishKey(ClusterWord{chars}, key);
    return collapseRepeats(written);
}

std::string PhoneticKey::english(std::string_view word) {
    // The first letter of these pairs is silent: knight, gnome, pneumonia, aerial, write.
    for (std::string_view pair : {"kn", "gn", "pn", "ae", "wr"}) {
        std::size_t after = pair.size();
        if (word.starts_with(pair) &&
            (after == word.size() || !unicode::continuesCharacter(unicode::nextCodePoint(word, after)))) {
            word.remove_prefix(1);
            break;
        }
    }
    if (unicode::isAscii(word)) {
        return asciiKey(word, [](const AsciiWord& w, AsciiKey& key) { englishKey(w, key); });
    }
    const unicode::Characters chars(word);
    std::string written;
    ClusterKey key{written};
    englishKey(ClusterWord{chars}, key);
    return collapseRepeats(written);
}

std::string PhoneticKey::collapseRepeats(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    if (unicode::isAscii(text)) {
        out = text;
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }
    const unicode::Characters chars(text);
    std::string_view last;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (i > 0 && chars[i] == last) continue;
        out += chars[i];
        last = chars[i];
    }
    return out;
}

}  // namespace vorela
