#include "Script/PhoneticKey.h"

#include <algorithm>

#include "Script/Unicode.h"

namespace vorela {

namespace {

// The keys are written once for two views of a word: ASCII bytes (nearly every normalised
// word, and the hot path of tokenizing) and user-perceived characters (everything else).
// A character is a byte (or -1 past the end) in the first and a string view (empty past the
// end) in the second.
struct AsciiWord {
    std::string_view text;
    std::size_t size() const { return text.size(); }
    int operator[](std::size_t i) const {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
    }
};

struct ClusterWord {
    const unicode::Characters& chars;
    std::size_t size() const { return chars.size(); }
    std::string_view operator[](std::size_t i) const { return chars[i]; }
};

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
    return letter >= 'a' && letter <= 'z' ? std::string_view(kAscii + (letter - 'a'), 1)
                                          : std::string_view();
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

// The ASCII letter a character is, or 0: lets both walks dispatch through one switch.
char letterOf(int c) { return c >= 0 && c < 0x80 ? static_cast<char>(c) : '\0'; }
char letterOf(std::string_view c) { return c.size() == 1 ? c[0] : '\0'; }

bool isSoftVowel(char letter) { return letter == 'e' || letter == 'i'; }
bool isVowelLetter(char letter) {
    return letter == 'a' || letter == 'e' || letter == 'i' || letter == 'o' || letter == 'u';
}

template <class Word, class Key>
void spanishKey(const Word& word, Key& out) {
    for (std::size_t i = 0; i < word.size();) {
        const auto c = word[i];
        const char next = letterOf(word[i + 1]);
        std::size_t consumed = 1;
        switch (letterOf(c)) {
            case 'h':
                break;
            case 'v':
            case 'w':
                out.put('b');
                break;
            case 'z':
                out.put('s');
                break;
            case 'c':
                if (next == 'h') {
                    out.put('c');
                    out.put('h');
                    consumed = 2;
                } else {
                    out.put(isSoftVowel(next) ? 's' : 'k');
                }
                break;
            case 'q':
                out.put('k');
                if (next == 'u') consumed = 2;
                break;
            case 'l':
                out.put(next == 'l' ? 'y' : 'l');
                if (next == 'l') consumed = 2;
                break;
            case 'g':
                if (next == 'u' && isSoftVowel(letterOf(word[i + 2]))) {
                    out.put('g');
                    consumed = 2;  // the u is silent; the vowel is read next
                } else {
                    out.put(isSoftVowel(next) ? 'j' : 'g');
                }
                break;
            case 'x':
                out.put('k');
                out.put('s');
                break;
            default:
                out.put(c);
        }
        i += consumed;
    }
}

template <class Word, class Key>
void englishKey(const Word& word, Key& out) {
    // A leading x sounds like s; the rest of the walk sees that s.
    const bool leadingX = letterOf(word[0]) == 'x';
    auto at = [&](std::size_t i) {
        return i == 0 && leadingX ? letterLike(word[0], 's') : word[i];
    };
    for (std::size_t i = 0; i < word.size();) {
        const auto c = at(i);
        const auto nextChar = at(i + 1);
        const char letter = letterOf(c);
        const char next = letterOf(nextChar);
        const bool softNext = next == 'i' || next == 'e' || next == 'y';
        std::size_t consumed = 1;
        if (nextChar == c && letter != 'c') {
            // Of a run of equal letters only the last is coded.
        } else if (isVowelLetter(letter)) {
            if (i == 0) out.put(c);
        } else {
            switch (letter) {
                case 'b':
                    if (!(i + 1 == word.size() && i > 0 && letterOf(at(i - 1)) == 'm'))
                        out.put('b');
                    break;
                case 'c':
                    if (next == 'h') {
                        out.put('x');
                        consumed = 2;
                    } else {
                        out.put(softNext ? 's' : 'k');
                    }
                    break;
                case 'd':
                    out.put('t');
                    break;
                case 'g':
                    if (next == 'h') {
                        consumed = 2;
                    } else {
                        out.put(softNext ? 'j' : 'k');
                    }
                    break;
                case 'p':
                case 's':
                case 't':
                    if (next == 'h') {
                        out.put(letter == 'p' ? 'f' : letter == 's' ? 'x' : '0');
                        consumed = 2;
                    } else {
                        out.put(c);
                    }
                    break;
                case 'q':
                    out.put('k');
                    break;
                case 'v':
                    out.put('f');
                    break;
                case 'w':
                case 'y':
                    if (isVowelLetter(next)) out.put(c);
                    break;
                case 'z':
                    out.put('s');
                    break;
                default:
                    out.put(c);
            }
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
            (after == word.size() ||
             !unicode::continuesCharacter(unicode::nextCodePoint(word, after)))) {
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
