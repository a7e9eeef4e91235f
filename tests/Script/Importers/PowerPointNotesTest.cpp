#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Script/Importers/DrawingMLText.h"
#include "Script/Importers/PowerPointNotes.h"
#include "Script/Importers/ZipBuilder.h"

namespace vorela {
namespace {

using testing::ZipBuilder;
using testing::ZipMember;

std::string notesPage(const std::vector<std::string>& paragraphs) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><p:notes "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><p:txBody>";
    for (const auto& p : paragraphs) xml += "<a:p><a:r><a:t>" + p + "</a:t></a:r></a:p>";
    return xml + "</p:txBody></p:notes>";
}

std::vector<std::uint8_t> bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(PowerPointNotesTest, PagesComeInNumericSlideOrderSeparatedByOneEmptyLine) {
    auto zip = ZipBuilder()
                   .add(ZipMember("ppt/notesSlides/notesSlide10.xml", notesPage({"diez"})))
                   .add(ZipMember("ppt/notesSlides/notesSlide2.xml", notesPage({"dos", "y más"})))
                   .add(ZipMember("ppt/slides/slide1.xml", notesPage({"diapositiva"})))
                   .add(ZipMember("ppt/notesSlides/notesSlide1.xml", notesPage({"uno"})))
                   .add(ZipMember("ppt/notesSlides/_rels/notesSlide1.xml.rels", "<x/>"))
                   .build();
    const auto notes = PowerPointNotes::fromData(zip);
    ASSERT_TRUE(notes.ok()) << notes.error().description();
    EXPECT_EQ(notes.value(), "uno\n\ndos\ny más\n\ndiez");
}

TEST(PowerPointNotesTest, SlideNumberJoinsEveryDigitAndFallsBackToZero) {
    struct Case {
        const char* name;
        std::string_view member;
        long long expected;
    };
    const Case cases[] = {
        {"plain", "ppt/notesSlides/notesSlide12.xml", 12},
        {"digits elsewhere join", "ppt2/notesSlides/notesSlide3.xml", 23},
        {"no digits", "ppt/notesSlides/notesSlide.xml", 0},
        {"overflow", "ppt/notesSlides/notesSlide99999999999999999999.xml", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PowerPointNotes::slideNumber(c.member), c.expected);
    }
}

TEST(PowerPointNotesTest, CollectorKeepsTextRunsAndDropsSlideNumberFields) {
    const std::string xml =
        "<p:notes xmlns:a=\"a\" xmlns:p=\"p\">"
        "<a:p><a:r><a:t>Hola, </a:t></a:r><a:br/><a:r><a:t>mundo</a:t></a:r></a:p>"
        "<a:p><a:fld type=\"slidenum\"><a:t> 7 </a:t></a:fld></a:p>"
        "<a:p><a:r><a:t>-3</a:t></a:r></a:p>"
        "<a:p><a:r><a:t>+4</a:t></a:r></a:p>"
        "<a:p><a:r><a:t>12345678901234567890</a:t></a:r></a:p>"
        "<a:p><a:r><a:t>3 puntos</a:t></a:r></a:p>"
        "<a:p><a:rPr lang=\"es\">ignorado</a:rPr></a:p>"
        "<a:p><a:r><a:t>  </a:t></a:r></a:p>"
        "<p><t>sin prefijo &amp; entidad</t></p>"
        "</p:notes>";
    EXPECT_EQ(DrawingMLText::paragraphs(bytes(xml)).value(),
              (std::vector<std::string>{"Hola, mundo", "12345678901234567890", "3 puntos",
                                        "sin prefijo & entidad"}));
}

TEST(PowerPointNotesTest, MalformedPageKeepsTheParagraphsBeforeTheError) {
    const std::string xml =
        "<p:notes xmlns:a=\"a\" xmlns:p=\"p\"><a:p><a:t>antes</a:t></a:p>"
        "<a:p><a:t>a medias</a:t><a:b></a:p></p:notes>";
    EXPECT_EQ(DrawingMLText::paragraphs(bytes(xml)).value(), std::vector<std::string>{"antes"});
}

TEST(PowerPointNotesTest, ExternalEntitiesAreNeverLoaded) {
    // A notes page may declare an entity that points at a local file; were it resolved, text
    // from outside the archive would land in the script. The parser never loads such entities.
    const std::string secret = std::filesystem::temp_directory_path() / "vorela-entity-secret.txt";
    FILE* f = std::fopen(secret.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("SECRETO", f);
    std::fclose(f);
    const std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE n [<!ENTITY x SYSTEM \"file://" +
                            secret + "\">]><n><a:p><a:t>[&x;]</a:t></a:p></n>";
    const auto paragraphs = DrawingMLText::paragraphs(bytes(xml));
    std::remove(secret.c_str());
    ASSERT_FALSE(paragraphs.ok());
    EXPECT_EQ(paragraphs.error().description().find("SECRETO"), std::string::npos);
}

TEST(PowerPointNotesTest, DocumentTypeAndEntityDeclarationsRefuseThePresentation) {
    // Internal entities nested ten deep fit a notes member in a few hundred bytes yet expand
    // to gigabytes, past every import cap. Notes never need a DTD, so any DTD is refused.
    std::string laughs = "<!ENTITY l0 \"ja\">";
    for (int i = 1; i <= 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    struct Case {
        const char* name;
        std::string xml;
    };
    const Case cases[] = {
        {"nested internal entities",
         "<!DOCTYPE n [" + laughs + "]><n><a:p><a:t>&l10;</a:t></a:p></n>"},
        {"one harmless entity",
         "<!DOCTYPE n [<!ENTITY e \"hola\">]><n><a:p><a:t>&e;</a:t></a:p></n>"},
        {"a DTD without declarations", "<!DOCTYPE n><n><a:p><a:t>hola</a:t></a:p></n>"},
        {"an external DTD", "<!DOCTYPE n SYSTEM \"notes.dtd\"><n><a:p><a:t>hola</a:t></a:p></n>"},
    };
    const std::string refusal =
        "Las notas de la presentación declaran un DTD o entidades XML, que no se admiten.";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto archive =
            ZipBuilder()
                .add(ZipMember("ppt/notesSlides/notesSlide1.xml", notesPage({"uno"})))
                .add(ZipMember("ppt/notesSlides/notesSlide2.xml", c.xml))
                .build();
        const auto notes = PowerPointNotes::fromData(archive);
        ASSERT_FALSE(notes.ok());
        EXPECT_EQ(notes.error().kind(), ScriptImportError::Kind::unreadable);
        EXPECT_EQ(notes.error().description(), refusal);
    }
}

TEST(PowerPointNotesTest, NoUsableNotesIsEmptyContent) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> archive;
    };
    const Case cases[] = {
        {"no notes pages",
         ZipBuilder().add(ZipMember("ppt/slides/slide1.xml", notesPage({"x"}))).build()},
        {"only slide-number fields",
         ZipBuilder().add(ZipMember("ppt/notesSlides/notesSlide1.xml", notesPage({"1"}))).build()},
        {"prefix matches case-sensitively only",
         ZipBuilder().add(ZipMember("PPT/notesSlides/notesSlide1.xml", notesPage({"x"}))).build()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto notes = PowerPointNotes::fromData(c.archive);
        ASSERT_FALSE(notes.ok());
        EXPECT_EQ(notes.error().description(), "El archivo no tiene texto que se pueda leer.");
    }
}

TEST(PowerPointNotesTest, CorruptArchiveReportsTheReadersError) {
    const auto notes = PowerPointNotes::fromData(bytes("esto no es un zip"));
    ASSERT_FALSE(notes.ok());
    EXPECT_EQ(notes.error().kind(), ScriptImportError::Kind::unreadable);
    EXPECT_EQ(notes.error().description(),
              "No se pudo abrir el archivo porque no tiene el formato correcto.");
}

TEST(PowerPointNotesTest, ReadsThePresentationMadeByAnOfficeSuite) {
    const char* data = std::getenv("VORELA_TEST_DATA");
    ASSERT_NE(data, nullptr);
    const auto notes = PowerPointNotes::read(std::filesystem::path(data) / "script" / "notas.pptx");
    ASSERT_TRUE(notes.ok()) << notes.error().description();
    EXPECT_EQ(notes.value(),
              "Buenos días a todos. Gracias por venir.\n"
              "Hoy repasamos el “tercer trimestre” — con calma.\n\n"
              "Vendimos Q48 millones, un 18.4% más.\n"
              "Niño, pingüino y acción: acentos intactos.");
}

}  // namespace
}  // namespace vorela
