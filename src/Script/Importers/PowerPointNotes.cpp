#include "Script/Importers/PowerPointNotes.h"

#include <algorithm>
#include <limits>

#include "Script/Importers/DrawingMLText.h"
#include "Script/Importers/ImportFile.h"
#include "Script/Importers/ZipArchive.h"
#include "Script/Unicode.h"

namespace vorela {

namespace {

constexpr std::string_view kNotesPrefix = "ppt/notesSlides/notesSlide";
constexpr std::string_view kNotesSuffix = ".xml";

bool isNotesPage(std::string_view name) {
    return name.starts_with(kNotesPrefix) && name.ends_with(kNotesSuffix);
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.append(separator);
        out.append(parts[i]);
    }
    return out;
}

}  // namespace

long long PowerPointNotes::slideNumber(std::string_view name) {
    long long value = 0;
    bool seenDigit = false;
    for (const char ch : name) {
        if (ch < '0' || ch > '9') continue;
        seenDigit = true;
        const int digit = ch - '0';
        if (value > (std::numeric_limits<long long>::max() - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    return seenDigit ? value : 0;
}

ImportResult<std::string> PowerPointNotes::read(const std::filesystem::path& path) {
    auto bytes = ImportFile::read(path);
    if (!bytes) return bytes.error();
    const std::string& data = bytes.value();
    return fromData(std::vector<std::uint8_t>(data.begin(), data.end()));
}

ImportResult<std::string> PowerPointNotes::fromData(std::vector<std::uint8_t> archive,
                                                    std::size_t maxTextSize) {
    auto members = ZipArchive(std::move(archive)).entries(isNotesPage);
    if (!members) return ScriptImportError::unreadable(members.error().description());
    auto& pages = members.value();
    if (pages.empty()) return ScriptImportError::emptyContent();

    std::stable_sort(pages.begin(), pages.end(), [](const auto& a, const auto& b) {
        return slideNumber(a.name) < slideNumber(b.name);
    });
    std::vector<std::string> texts;
    std::size_t total = 0;
    for (const auto& page : pages) {
        auto paragraphs = DrawingMLText::paragraphs(page.data);
        if (!paragraphs) return paragraphs.error();
        const std::string text = joined(paragraphs.value(), "\n");
        const std::string_view trimmed = unicode::trimWhitespaceAndNewlines(text);
        if (trimmed.empty()) continue;
        // Counted page by page: a small archive can unpack into hundreds of megabytes.
        total += trimmed.size() + (texts.empty() ? 0 : 2);
        if (total > maxTextSize) return ScriptImportError::tooLarge({});
        texts.emplace_back(trimmed);
    }
    if (texts.empty()) return ScriptImportError::emptyContent();
    return joined(texts, "\n\n");
}

}  // namespace vorela
