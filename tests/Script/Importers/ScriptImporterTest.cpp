#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Script/Importers/ImportFile.h"
#include "Script/Importers/ScriptImporter.h"
#include "Script/Importers/ZipBuilder.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

class ScriptImporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vorela-import-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static fs::path fixture(const std::string& name) {
        const char* data = std::getenv("VORELA_TEST_DATA");
        return fs::path(data ? data : "") / "script" / name;
    }

    fs::path dir_;
};

TEST_F(ScriptImporterTest, ChoosesTheReaderByTheLowerCasedExtension) {
    struct Case {
        const char* name;
        std::string file;
        std::string title;
    };
    const Case cases[] = {
        {"capital TXT", "Discurso.TXT", "Discurso"},
        {"markdown", "notas.markdown", "notas"},
        {"text", "a.b.text", "a.b"},
        {"no extension", "guion", "guion"},
        {"hidden name without extension", ".guion", ".guion"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto imported = ScriptImporter::load(write(c.file, "  Hola\r\n"));
        ASSERT_TRUE(imported.ok()) << imported.error().description();
        EXPECT_EQ(imported.value(), (ImportedScript{c.title, "Hola"}));
    }
}

TEST_F(ScriptImporterTest, UnknownExtensionNamesItLowerCased) {
    const auto imported = ScriptImporter::load(write("Informe.DOCX", "x"));
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.error().kind(), ScriptImportError::Kind::unsupportedType);
    EXPECT_EQ(imported.error().description(), "No sé leer archivos .docx todavía.");
}

TEST_F(ScriptImporterTest, TextIsUtf8ElseLatin1) {
    const auto latin1 = ScriptImporter::load(fixture("latin1.txt"));
    ASSERT_TRUE(latin1.ok()) << latin1.error().description();
    EXPECT_EQ(latin1.value().body, "Canción de cuna\nPequeño niño, ¡duerme ya!");

    const auto withMark = ScriptImporter::load(write("bom.txt",
                                                     "\xEF\xBB\xBF"
                                                     "añadido"));
    ASSERT_TRUE(withMark.ok());
    EXPECT_EQ(withMark.value().body, "añadido");
}

TEST_F(ScriptImporterTest, AUtf16FileImportsItsTextWithoutTheMark) {
    // A UTF-16 text file came in as Latin-1, with a NUL after every letter of the script.
    // The mark says UTF-16: the body holds the letters alone, cleaned like any text.
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : std::u16string(u"“Hola”\r\nadiós")) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    const auto imported = ScriptImporter::load(write("unicode.txt", bytes));
    ASSERT_TRUE(imported.ok()) << imported.error().description();
    EXPECT_EQ(imported.value().body, "\"Hola\"\nadiós");
}

TEST_F(ScriptImporterTest, MarkdownKeepsItsMarkupButLosesBulletsAndHeadings) {
    const auto imported = ScriptImporter::load(fixture("guion.md"));
    ASSERT_TRUE(imported.ok()) << imported.error().description();
    EXPECT_EQ(imported.value().title, "guion");
    EXPECT_EQ(imported.value().body,
              "# Presentación del trimestre\n\n"
              "Bienvenida\n\n"
              "Saludar a \"todos\" los presentes.\n"
              "Agradecer al equipo - sin excepción.\n"
              "Presentar la agenda.\n\n"
              "Resultados\n\n"
              "Vendimos Q48 millones; el margen fue de -2 puntos frente al plan.");
}

TEST_F(ScriptImporterTest, RichTextFromAnOfficeSuiteAndAnRtfdFolder) {
    const auto document = ScriptImporter::load(fixture("documento.rtf"));
    ASSERT_TRUE(document.ok()) << document.error().description();
    EXPECT_EQ(document.value().body,
              "Informe trimestral\n"
              "Buenos días. Este texto tiene acentos: canción, pingüino, año y ñandú.\n"
              "Comillas \"tipográficas\", un guion largo - y el símbolo del euro: 20 €.\n"
              "Primer punto de la lista\n"
              "Segundo punto\n"
              "Un enlace a la página del informe en medio de la frase.\n"
              "Caracteres fuera de la página de códigos: Łódź, Ωmega y → flecha.");

    const auto letter = ScriptImporter::load(fixture("Carta.rtfd"));
    ASSERT_TRUE(letter.ok()) << letter.error().description();
    EXPECT_EQ(letter.value().title, "Carta");
    EXPECT_EQ(letter.value().body,
              "Querida María:\n\nTe escribo desde España. \"Nos vemos pronto\".");
}

TEST_F(ScriptImporterTest, RichTextFileThatIsNotRtfReadsAsText) {
    const auto imported = ScriptImporter::load(write("nota.rtf", "solo texto"));
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(imported.value().body, "solo texto");
}

TEST_F(ScriptImporterTest, FailuresCarryTheirSpanishMessages) {
    struct Case {
        const char* name;
        fs::path path;
        std::string description;
    };
    fs::create_directories(dir_ / "vacio.rtfd");
    const Case cases[] = {
        {"missing text file", dir_ / "no.txt",
         "No se pudo abrir el archivo «no.txt» porque no existe."},
        {
            "folder named like text",
            dir_,
            std::string("No se pudo leer el archivo «") + dir_.filename().string() + "».",
        },
        {"rtfd without its text", dir_ / "vacio.rtfd",
         "No se pudo abrir el archivo «TXT.rtf» porque no existe."},
        {"blank text", write("blanco.txt", " \n\t\r\n"),
         "El archivo no tiene texto que se pueda leer."},
        {"empty rich text", write("vacio.rtf", "{\\rtf1 {\\fonttbl x;}\\par}"),
         "El archivo no tiene texto que se pueda leer."},
        // A binary file named .rtf imported as a 950-word garbage script; the platform's
        // reader takes plain text for RTF, but nothing that holds binary controls.
        {"binary file named rich text",
         write("foto.rtf", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)),
         "El archivo no es un documento de texto enriquecido."},
        {"deeply nested rich text", write("hondo.rtf", "{\\rtf1" + std::string(5000, '{') + "x"),
         "El documento de texto enriquecido está dañado: tiene demasiados grupos anidados."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto imported = ScriptImporter::load(c.path);
        ASSERT_FALSE(imported.ok());
        EXPECT_EQ(imported.error().description(), c.description);
    }
}

TEST_F(ScriptImporterTest, FilesOverTheSizeLimitAreRefusedUnread) {
    // Any file was read whole into memory however large it was; the open file's size is now
    // checked first, so a file over 50 MiB is refused, by name, before its bytes are read.
    for (const std::string name : {"grande.txt", "grande.pptx", "grande.rtf"}) {
        SCOPED_TRACE(name);
        const fs::path big = write(name, "hola");
        fs::resize_file(big, ImportFile::kMaxImportFileSize + 1);  // sparse: no real disk use
        const auto imported = ScriptImporter::load(big);
        ASSERT_FALSE(imported.ok());
        EXPECT_EQ(imported.error().description(),
                  "El archivo «" + name + "» ocupa más de 50 MB; no se puede importar.");
    }
}

std::string notesPage(const std::string& text) {
    return "<p:notes xmlns:a=\"a\" xmlns:p=\"p\"><p:txBody><a:p><a:r><a:t>" + text +
           "</a:t></a:r></a:p></p:txBody></p:notes>";
}

TEST_F(ScriptImporterTest, TextThatFilesUnpackIntoIsBoundedLikeTheFiles) {
    // A small presentation whose notes unpacked into a 268 MB script was imported, and that
    // script crashed the program at every start; the text itself now has the file's limit.
    const std::string page(ImportFile::kMaxImportFileSize / 2 + 16, 'a');
    const std::string archive = [&] {
        const auto bytes = testing::ZipBuilder()
                               .add({"ppt/notesSlides/notesSlide1.xml", notesPage(page)})
                               .add({"ppt/notesSlides/notesSlide2.xml", notesPage(page)})
                               .build();
        return std::string(bytes.begin(), bytes.end());
    }();
    ASSERT_LT(archive.size(), 1u << 20);
    // Every byte 0x80 of Windows-1252 is the euro sign, three bytes of UTF-8.
    const std::string euros(ImportFile::kMaxImportFileSize / 3 + 16, '\x80');
    struct Case {
        const char* name;
        std::string file;
        const std::string& bytes;
    };
    const Case cases[] = {
        {"presentation notes", "notas.pptx", archive},
        {"decoded plain text", "euros.txt", euros},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto imported = ScriptImporter::load(write(c.file, c.bytes));
        ASSERT_FALSE(imported.ok());
        EXPECT_EQ(
            imported.error().description(),
            "El texto del archivo «" + c.file + "» ocupa más de 50 MB; no se puede importar.");
    }
}

TEST(ScriptImporterPasteboardTest, PastedTextOverTheLimitIsRefused) {
    FakePasteboard pasteboard;
    pasteboard.setString(std::string(ImportFile::kMaxImportFileSize + 1, 'a'));
    const auto imported = ScriptImporter::fromPasteboard(pasteboard);
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.error().description(), "El texto ocupa más de 50 MB; no se puede importar.");
}

TEST(ScriptImporterPasteboardTest, PastedTextIsCleanedAndTitled) {
    FakePasteboard pasteboard;
    pasteboard.setString("\u2022 Hola\r\n");
    const auto imported = ScriptImporter::fromPasteboard(pasteboard);
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(imported.value(), (ImportedScript{"Guion pegado", "Hola"}));

    for (const auto& content :
         {std::optional<std::string>(), std::optional<std::string>(" \n\t ")}) {
        pasteboard.setString(content);
        const auto empty = ScriptImporter::fromPasteboard(pasteboard);
        ASSERT_FALSE(empty.ok());
        EXPECT_EQ(empty.error().description(), "El archivo no tiene texto que se pueda leer.");
    }
}

TEST(ScriptImporterTypesTest, OpenDialogOffersFiveKindsInOrder) {
    const auto& types = ScriptImporter::supportedTypes();
    ASSERT_EQ(types.size(), 5u);
    EXPECT_EQ(types[0].mimeType, "text/plain");
    EXPECT_EQ(types[1].mimeType, "text/rtf");
    EXPECT_EQ(types[3].extensions, (std::vector<std::string>{"md", "markdown"}));
    EXPECT_EQ(types[4].extensions, std::vector<std::string>{"pptx"});
}

}  // namespace
}  // namespace vorela
