#include "Platform/Speech/PocketSphinx/SpanishPronouncer.h"

#include "Platform/Foundation/Utf8.h"
#include "Platform/Speech/PocketSphinx/PronunciationLexicon.h"

namespace vorela {

namespace {

bool isVowel(char32_t c) {
    return c == U'a' || c == U'e' || c == U'i' || c == U'o' || c == U'u' || c == U'ü';
}
bool isFront(char32_t c) { return c == U'e' || c == U'i'; }

}  // namespace

std::vector<std::string> SpanishPronouncer::phones(std::string_view spelling) {
    std::u32string w;
    for (std::size_t i = 0; i < spelling.size();) {
        const char32_t c = PronunciationLexicon::baseLetter(unicode::nextCodePoint(spelling, i));
        if ((c >= U'a' && c <= U'z') || c == U'ñ' || c == U'ü') w += c;
    }
    std::vector<std::string> out;
    auto at = [&](std::size_t i) -> char32_t { return i < w.size() ? w[i] : U'\0'; };
    for (std::size_t i = 0; i < w.size(); ++i) {
        const char32_t c = w[i];
        const char32_t next = at(i + 1);
        switch (c) {
            case U'a':
                out.push_back("A");
                break;
            case U'e':
                out.push_back("E");
                break;
            case U'i':
                out.push_back("I");
                break;
            case U'o':
                out.push_back("O");
                break;
            case U'u':
            case U'ü':
                out.push_back("U");
                break;
            case U'b':
                out.push_back("B");
                break;
            case U'v':
                out.push_back("V");
                break;
            case U'w':
                out.push_back("U");
                break;
            case U'c':
                if (next == U'h') {
                    out.push_back("CH");
                    ++i;
                } else
                    out.push_back(isFront(next) ? "S" : "K");
                break;
            case U'q':
                out.push_back("K");
                if (next == U'u' && isFront(at(i + 2))) ++i;  // the u of que, qui is silent
                break;
            case U'k':
                out.push_back("K");
                break;
            case U'g':
                if (isFront(next)) {
                    out.push_back("J");
                    break;
                }
                out.push_back("G");
                if (next == U'u' && isFront(at(i + 2))) ++i;  // gue, gui: silent u; güe keeps ü
                break;
            case U'j':
                out.push_back("J");
                break;
            case U'h':
                break;  // silent
            case U'l':
                if (next == U'l') {
                    out.push_back("LL");
                    ++i;
                } else
                    out.push_back("L");
                break;
            case U'ñ':
                out.push_back("GN");
                break;
            case U'y':
                // A consonant before a vowel; the vowel i at the end or as the word "y".
                out.push_back(isVowel(next) ? "Y" : "I");
                break;
            case U'r':
                if (next == U'r') {
                    out.push_back("RR");
                    ++i;
                } else if (i == 0 ||
                           (i > 0 && (w[i - 1] == U'n' || w[i - 1] == U'l' || w[i - 1] == U's')))
                    out.push_back("RR");
                else
                    out.push_back("R");
                break;
            case U'x':
                // México, Oaxaca, Texas keep the old spelling of the jota.
                if (i > 0 && (w.compare(0, 4, U"mexi") == 0 || w.compare(0, 4, U"oaxa") == 0 ||
                              w.compare(0, 4, U"texa") == 0))
                    out.push_back("J");
                else
                    out.push_back("X");
                break;
            case U'z':
                out.push_back("S");
                break;
            case U'p':
                out.push_back("P");
                break;
            case U't':
                out.push_back("T");
                break;
            case U'd':
                out.push_back("D");
                break;
            case U'f':
                out.push_back("F");
                break;
            case U'm':
                out.push_back("M");
                break;
            case U'n':
                out.push_back("N");
                break;
            case U's':
                out.push_back("S");
                break;
            default:
                break;
        }
    }
    return out;
}

std::vector<std::string> SpanishPronouncer::arpabet(std::string_view spelling) {
    const auto spanish = phones(spelling);
    std::vector<std::string> out;
    auto vowelAt = [&](std::size_t i) {
        if (i >= spanish.size()) return false;
        const auto& p = spanish[i];
        return p == "A" || p == "E" || p == "I" || p == "O" || p == "U";
    };
    for (std::size_t i = 0; i < spanish.size(); ++i) {
        const std::string& p = spanish[i];
        // Unstressed i and u before another vowel glide (bien, cuatro).
        if (p == "I")
            out.push_back(vowelAt(i + 1) ? "Y" : "IY");
        else if (p == "U")
            out.push_back(vowelAt(i + 1) ? "W" : "UW");
        else if (p == "A")
            out.push_back("AA");
        else if (p == "E")
            out.push_back("EY");
        else if (p == "O")
            out.push_back("OW");
        else if (p == "V")
            out.push_back("B");
        else if (p == "J")
            out.push_back("HH");
        else if (p == "LL")
            out.push_back("Y");
        else if (p == "GN") {
            out.push_back("N");
            out.push_back("Y");
        } else if (p == "RR")
            out.push_back("R");
        else if (p == "X") {
            out.push_back("K");
            out.push_back("S");
        } else
            out.push_back(p);  // B CH D F G K L M N P R S T Y are ARPAbet already
    }
    return out;
}

}  // namespace vorela
