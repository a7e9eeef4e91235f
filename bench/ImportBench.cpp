// Import throughput: a generated 100-slide presentation with speaker notes and a 5 MB text
// file, each beside a plain read of the same file's bytes in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Script/Importers/ImportFile.h"
#include "Script/Importers/ScriptImporter.h"
#include "Script/Importers/ZipBuilder.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

std::string notesPage(int slide) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><p:notes "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><p:cSld><p:spTree>";
    for (int p = 0; p < 4; ++p) {
        xml +=
            "<p:sp><p:txBody><a:bodyPr/><a:p><a:r><a:rPr lang=\"es-ES\" sz=\"1200\"/><a:t>"
            "En la diapositiva " +
            std::to_string(slide) +
            " contamos cómo crecieron las ventas del trimestre, </a:t></a:r><a:r><a:rPr b=\"1\"/>"
            "<a:t>un 18.4% más que el año pasado, y por qué.</a:t></a:r></a:p></p:txBody></p:sp>";
    }
    xml += "<p:sp><p:txBody><a:p><a:fld type=\"slidenum\"><a:t>" + std::to_string(slide) +
           "</a:t></a:fld></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:notes>";
    return xml;
}

fs::path writeFile(const std::string& name, const std::string& bytes) {
    const fs::path path = fs::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

const fs::path& presentation() {
    static const fs::path path = [] {
        testing::ZipBuilder zip;
        for (int slide = 1; slide <= 100; ++slide) {
            zip.add(testing::ZipMember("ppt/slides/slide" + std::to_string(slide) + ".xml",
                                       std::string(3000, 's')));
            zip.add(testing::ZipMember(
                "ppt/notesSlides/notesSlide" + std::to_string(slide) + ".xml", notesPage(slide)));
        }
        const auto bytes = zip.build();
        return writeFile("vorela-bench-100-slides.pptx", std::string(bytes.begin(), bytes.end()));
    }();
    return path;
}

const fs::path& textFile() {
    static const fs::path path = [] {
        const std::string paragraph =
            "Diapositiva 3: \u201CBuenos días\u201D a todos \u2014 gracias por venir.\r\n"
            "\u2022 Vendimos Q48\u00A0millones, un 18.4% más que el año pasado.\r\n"
            "- Cada quintal nos dejó 2.5 veces lo de antes.\r\n\r\n\r\n";
        std::string text;
        while (text.size() < 5'000'000) text += paragraph;
        return writeFile("vorela-bench-5mb.txt", text);
    }();
    return path;
}

void run(benchmark::State& state, const fs::path& path, bool import) {
    for (auto _ : state) {
        if (import) {
            auto imported = ScriptImporter::load(path);
            if (!imported) state.SkipWithError(imported.error().description().c_str());
            benchmark::DoNotOptimize(imported);
        } else {
            auto bytes = ImportFile::read(path);
            benchmark::DoNotOptimize(bytes);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(path)));
}

void BM_ReadPresentationBytes(benchmark::State& state) { run(state, presentation(), false); }
void BM_ImportPresentation100Slides(benchmark::State& state) { run(state, presentation(), true); }
void BM_ReadText5MBBytes(benchmark::State& state) { run(state, textFile(), false); }
void BM_ImportText5MB(benchmark::State& state) { run(state, textFile(), true); }

BENCHMARK(BM_ReadPresentationBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImportPresentation100Slides)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadText5MBBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportText5MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorela
