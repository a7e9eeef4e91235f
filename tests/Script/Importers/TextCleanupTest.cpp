#include <gtest/gtest.h>

#include "Script/Importers/ScriptImporter.h"
#include "Script/Importers/TextCleanup.h"

namespace vorela {
namespace {

struct Case {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(TextCleanupTest, CleansIncomingText) {
    const Case cases[] = {
        {"windows and old mac line ends", "uno\r\ndos\rtres", "uno\ndos\ntres"},
        {"typographic quotes and dashes", "\u201CHola\u201D, \u2018dijo\u2019 \u2013 y \u2014 fin",
         "\"Hola\", 'dijo' - y - fin"},
        {"no-break space", "diez\u00A0euros", "diez euros"},
        {"bullet character and its space", "\u2022 primero\n  \u2022\tsegundo", "primero\nsegundo"},
        {"hyphen and asterisk bullets", "- uno\n* dos\n-\ttres", "uno\ndos\ntres"},
        {"negative number keeps its sign", "-5 grados\n*negrita*", "-5 grados\n*negrita*"},
        {"only one bullet is removed", "- - doble", "- doble"},
        {"slide heading with text", "Diapositiva 4: Ventas del año", "Ventas del año"},
        {"slide heading alone", "Slide 2", ""},
        {"heading case and separators", "SLIDE 12 - Hola\ndiapositiva3.Adiós\nslide 7 -- x",
         "Hola\nAdiós\nx"},
        {"heading without a number stays", "Slides de hoy\nDiapositiva final",
         "Slides de hoy\nDiapositiva final"},
        {"heading then bullet", "Slide 1: - punto", "punto"},
        {"heading not at the line start", "Ver slide 3: ahora", "Ver slide 3: ahora"},
        {"runs of empty lines become one", "a\n\n\n\n\nb\n\nc", "a\n\nb\n\nc"},
        {"lines of blanks count as empty", "a\n  \n\t\n \nb", "a\n\nb"},
        {"leading and trailing blank lines", "\n\n  \n hola \n\n\n", "hola"},
        {"unicode spaces at the ends of the text", "\u2003\u3000texto\u2029", "texto"},
        {"inner spacing stays", "dos  espacios\tadentro", "dos  espacios\tadentro"},
        {"empty input", "", ""},
        {"old mac and windows ends mixed", "a\r\r\nb\r\r\r\rc\n\r", "a\n\nb\n\nc"},
        {"a line of no-break spaces is empty", "a\n\u00A0\u00A0\n\n\nb", "a\n\nb"},
        {"replaced characters before a bullet", "\u00A0\u2022 x\n\u00A0- y", "x\ny"},
        {"only blanks and breaks", " \r\n\u2003\n\t", ""},
        {"a lead byte that replaces nothing", "\u00E9l \u00A9 \u2026 \u20AC",
         "\u00E9l \u00A9 \u2026 \u20AC"},
        {"typographic at the end of a line", "fin\u201D\r\n\u201Cotra", "fin\"\n\"otra"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScriptImporter::clean(c.input), c.expected);
    }
}

TEST(TextCleanupTest, HeadingAndBulletPatternsUseUnicodeSpaceAndDigits) {
    // "\s" and "\d" of the patterns are Unicode classes: an em space and Arabic-Indic digits.
    EXPECT_EQ(TextCleanup::slideHeadingLength("Slide\u2003\u0663: x"),
              std::string("Slide\u2003\u0663: ").size());
    EXPECT_EQ(TextCleanup::bulletLength("-\u2003x"), std::string("-\u2003").size());
    EXPECT_EQ(TextCleanup::bulletLength("-x"), 0u);
    EXPECT_EQ(TextCleanup::slideHeadingLength("slide: x"), 0u);
}

TEST(TextCleanupTest, CleaningTwiceChangesNothingMore) {
    const std::string once =
        ScriptImporter::clean("Slide 1:\r\n\r\n\r\n\u2022 \u201Cuno\u201D\n- dos\n\n\n");
    EXPECT_EQ(ScriptImporter::clean(once), once);
}

}  // namespace
}  // namespace vorela
