#include <gtest/gtest.h>

#include <cmath>

#include "Platform/Speech/PocketSphinx/EnglishPronouncer.h"
#include "Platform/Speech/PocketSphinx/PronunciationLexicon.h"
#include "Platform/Speech/PocketSphinx/ScriptLanguageModel.h"
#include "Platform/Speech/PocketSphinx/ScriptModelBuilder.h"
#include "Platform/Speech/PocketSphinx/SpanishPronouncer.h"

namespace vorela {
namespace {

std::string joined(const std::vector<std::string>& phones) {
    std::string out;
    for (const auto& p : phones) out += (out.empty() ? "" : " ") + p;
    return out;
}

TEST(SpanishPronouncerTest, HardSpellingsReachTheModelsPhones) {
    struct Case {
        const char* word;
        const char* phones;
    };
    const Case cases[] = {
        {"pingüino", "P I N G U I N O"},
        {"vergüenza", "V E R G U E N S A"},
        {"guerra", "G E RR A"},
        {"guitarra", "G I T A RR A"},
        {"gato", "G A T O"},
        {"gente", "J E N T E"},
        {"llama", "LL A M A"},
        {"año", "A GN O"},
        {"examen", "E X A M E N"},
        {"méxico", "M E J I K O"},
        {"país", "P A I S"},
        {"río", "RR I O"},
        {"acción", "A K S I O N"},
        {"queso", "K E S O"},
        {"hoy", "O I"},
        {"ayer", "A Y E R"},
        {"y", "I"},
        {"enrique", "E N RR I K E"},
        {"caro", "K A R O"},
        {"zapato", "S A P A T O"},
        {"chico", "CH I K O"},
        {"whisky", "U I S K I"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(joined(SpanishPronouncer::phones(c.word)), c.phones);
    }
    EXPECT_EQ(joined(SpanishPronouncer::arpabet("bien")), "B Y EY N");
    EXPECT_EQ(joined(SpanishPronouncer::arpabet("año")), "AA N Y OW");
}

TEST(PronunciationLexiconTest, MisTranscodedKeysAreRepairedAndStressMarksDropped) {
    const auto lexicon = PronunciationLexicon::fromText(
        "¡NGEL\tA N J E L  \nAG¸ERO\tA G U E R O\n…L\tE L\nJO„O\tJ O O\n"
        "hello HH AH0 L OW1\nhello(2) HH EH0 L OW1\ndon't D OW1 N T\n");
    ASSERT_NE(lexicon.find("ángel"), nullptr);
    EXPECT_EQ(*lexicon.find("ángel"), std::vector<std::string>{"A N J E L"});
    EXPECT_NE(lexicon.find("agüero"), nullptr);
    EXPECT_NE(lexicon.find("él"), nullptr);
    EXPECT_EQ(*lexicon.find("hello"), (std::vector<std::string>{"HH AH L OW", "HH EH L OW"}));
    EXPECT_NE(lexicon.find("dont"), nullptr);
    EXPECT_EQ(PronunciationLexicon::repairedKey("AB⁄N"), "ABÚN");
}

TEST(ScriptModelBuilderTest, TheDictionaryHoldsTheScriptsWordsNumbersAsSpokenAndThePhoneLoop) {
    SpeechScript script{
        "es-ES",
        {{"pagamos", "pagamos", {}},
         {"1.250", "1.250", {"mil doscientos cincuenta", "uno punto dos cinco cero"}},
         {"euros", "euros", {}}}};
    ScriptModelBuilder::Options options;
    options.phones = ScriptModelBuilder::PhoneSet::spanishModel;
    options.isSpanish = true;
    options.garbageWeight = 0.5;
    const auto model = ScriptModelBuilder::build(script, options);
    EXPECT_NE(model.dictionary.find("pagamos P A G A M O S\n"), std::string::npos);
    EXPECT_NE(model.dictionary.find("doscientos D O S S I E N T O S\n"), std::string::npos);
    EXPECT_NE(model.dictionary.find("_rr RR\n"), std::string::npos);
    EXPECT_EQ(model.dictionary.find("1.250"), std::string::npos);
    // The stream reads the number the first way; the second way joins its neighbours.
    EXPECT_NE(model.arpa.find(" pagamos mil doscientos\n"), std::string::npos);
    EXPECT_NE(model.arpa.find(" pagamos uno punto\n"), std::string::npos);
    EXPECT_NE(model.arpa.find(" cincuenta euros </s>\n"), std::string::npos);
    EXPECT_EQ(model.wordCount, 5u);
}

TEST(ScriptLanguageModelTest, ProbabilitiesOfEachContextSumToOne) {
    ScriptLanguageModel::Input input;
    input.stream = {"a", "b", "a", "c", "a", "b"};
    input.garbageWords = {"_x", "_y"};
    input.garbageWeight = 0.2;
    const std::string arpa = ScriptLanguageModel::arpa(input);
    // Unigrams: the script's mass 0.8 and the garbage 0.2 make one.
    double total = 0;
    bool inUnigrams = false;
    std::size_t at = 0;
    while (at < arpa.size()) {
        const std::size_t end = arpa.find('\n', at);
        const std::string line = arpa.substr(at, end - at);
        at = end + 1;
        if (line == "\\1-grams:")
            inUnigrams = true;
        else if (line.empty())
            inUnigrams = false;
        else if (inUnigrams && line.find("<s>") == std::string::npos)
            total += std::pow(10.0, std::stod(line));
    }
    EXPECT_NEAR(total, 1.0, 1e-4);
    // "a" is followed by b twice and c once: (2 - 0.05) / 3.
    EXPECT_NE(arpa.find(std::to_string(std::log10(1.95 / 3)) + " a b"), std::string::npos);
}

TEST(EnglishPronouncerTest, NamesOutsideTheDictionaryGetAPlausibleSpelling) {
    EXPECT_EQ(joined(EnglishPronouncer::phones("vorela")), "V AO R EH L AE");
    EXPECT_EQ(joined(EnglishPronouncer::phones("thatcher")), "TH AE CH ER");
    EXPECT_TRUE(EnglishPronouncer::phones("123").empty());
}

}  // namespace
}  // namespace vorela
