#include <gtest/gtest.h>

#include <string>

#include "Script/IncrementalWordCount.h"

namespace vorela {
namespace {

const Tokenizer& tokenizer() {
    static const Tokenizer spanish(Tokenizer::Language::spanish, "es_ES");
    return spanish;
}

// Edits the way an editor makes them; after each, the kept count must be what a count of
// the whole new text gives.
TEST(IncrementalWordCountTest, EachEditKeepsTheCountOfTheWholeText) {
    struct Case {
        const char* name;
        const char* before;
        const char* after;
    } cases[] = {
        {"a letter inside a word", "hola mundo", "hola munndo"},
        {"a new word at the end", "hola mundo", "hola mundo nuevo"},
        {"a space splits a word", "holamundo entero", "hola mundo entero"},
        {"a deleted space joins two words", "hola mundo entero", "holamundo entero"},
        {"a line break splits a word", "uno dos\ntres", "uno d\nos\ntres"},
        {"a deleted line break joins", "uno\ndos tres", "unodos tres"},
        {"punctuation alone is no word", "uno dos", "uno , dos"},
        {"a symbol joins the word before it", "precio 5", "precio $5"},
        {"the first character", "ola que tal", "hola que tal"},
        {"everything removed", "uno dos tres", ""},
        {"a paste into an empty text", "", "uno dos\n\ntres, cuatro. cinco"},
        {"a paragraph replaced", "uno dos\ntres cuatro\ncinco", "uno dos\nseis\ncinco"},
        {"a repeated letter doubled", "aaaa bbbb", "aaaaa bbbb"},
        {"a repeated space doubled", "uno  dos", "uno   dos"},
        {"a mark after a space", "uno dos", "uno \u0301dos"},
        {"Thai without spaces", "ภาษาไทย ง่าย", "ภาษาไทยง่าย"},
        {"carriage return and line feed", "uno\r\ndos", "uno\r\n\r\ndos tres"},
        {"no change", "uno dos", "uno dos"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IncrementalWordCount count(tokenizer());
        EXPECT_EQ(count.reset(c.before), tokenizer().countWords(c.before));
        EXPECT_EQ(count.update(c.before, c.after), tokenizer().countWords(c.after));
        EXPECT_EQ(count.count(), tokenizer().countWords(c.after));
    }
}

TEST(IncrementalWordCountTest, RandomEditsOfAnyBytesNeverDrift) {
    // Pieces that meet every rule near a cut: spaces and breaks in runs, marks and joiners
    // after them, symbols and punctuation on either side, digits, non-Latin scripts and
    // bytes that are not UTF-8.
    const std::string_view pieces[] = {"a",  "Q", "9",      " ",      "  ",       "\n",  "\r",
                                       ".",  "$", "€",      "-",      "é",        "ñ",   "\u0301",
                                       "字", "😀", "\u200D", "\uFE0F", "…",        "¿",   "1,5",
                                       "ไท", "ย", "\xff",   "\xc3",   "\xe2\x82", "hola"};
    std::uint32_t seed = 11;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    IncrementalWordCount count(tokenizer());
    std::string text;
    count.reset(text);
    for (int round = 0; round < 2000; ++round) {
        std::string after = text;
        const std::size_t at = after.empty() ? 0 : next() % (after.size() + 1);
        const std::size_t removed = std::min<std::size_t>(next() % 4, after.size() - at);
        std::string inserted;
        for (std::uint32_t i = next() % 3; i > 0; --i)
            inserted += pieces[next() % std::size(pieces)];
        after.replace(at, removed, inserted);
        if (after.size() > 400) after.erase(0, 200);  // keeps the text short and the cut moving
        count.update(text, after);
        text = std::move(after);
        ASSERT_EQ(count.count(), tokenizer().countWords(text)) << ::testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace vorela
