#include "Script/Importers/RtfSymbolFont.h"

#include "Platform/Foundation/Utf8.h"

namespace vorela {

namespace {

// The glyphs on A-Z and a-z, in alphabetical order of the byte.
constexpr std::u16string_view kUpper = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
constexpr std::u16string_view kLower = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";

struct Glyph {
    unsigned char byte;
    char16_t character;
};

// Signs on other bytes that real documents use.
constexpr Glyph kSigns[] = {{0x22, u'∀'}, {0x24, u'∃'}, {0x27, u'∋'}, {0x2A, u'∗'}, {0x2D, u'−'},
                            {0x40, u'≅'}, {0x5C, u'∴'}, {0x5E, u'⊥'}, {0x7E, u'∼'}, {0xA0, u'€'},
                            {0xA2, u'′'}, {0xA3, u'≤'}, {0xA5, u'∞'}, {0xA7, u'♣'}, {0xA8, u'♦'},
                            {0xA9, u'♥'}, {0xAA, u'♠'}, {0xAC, u'←'}, {0xAE, u'→'}, {0xB0, u'°'},
                            {0xB1, u'±'}, {0xB2, u'″'}, {0xB3, u'≥'}, {0xB4, u'×'}, {0xB6, u'∂'},
                            {0xB7, u'•'}, {0xB8, u'÷'}, {0xB9, u'≠'}, {0xBB, u'≈'}, {0xBC, u'…'},
                            {0xC6, u'∅'}, {0xCE, u'∈'}, {0xD5, u'∏'}, {0xD6, u'√'}, {0xD7, u'⋅'},
                            {0xD8, u'¬'}, {0xE5, u'∑'}, {0xF2, u'∫'}};

char32_t glyphOf(unsigned char byte) {
    if (byte >= 'A' && byte <= 'Z') return kUpper[byte - 'A'];
    if (byte >= 'a' && byte <= 'z') return kLower[byte - 'a'];
    for (const Glyph& glyph : kSigns) {
        if (glyph.byte == byte) return glyph.character;
    }
    if (byte >= 0x20 && byte < 0x7F) return byte;  // digits and the punctuation kept as is
    return unicode::kReplacementCharacter;
}

}  // namespace

void RtfSymbolFont::decode(std::string_view bytes, std::string& out) {
    for (const char ch : bytes) unicode::appendUtf8(out, glyphOf(static_cast<unsigned char>(ch)));
}

}  // namespace vorela
