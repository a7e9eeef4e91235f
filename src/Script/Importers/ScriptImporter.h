#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Script/Importers/ImportedScript.h"
#include "Script/Importers/ScriptImportError.h"

namespace vorela {

class Pasteboard;

// A kind of file the open dialog offers, as a MIME type and its file-name extensions.
struct ImportContentType {
    std::string mimeType;
    std::vector<std::string> extensions;
};

// Turns files and pasted text into scripts: plain text and Markdown, rich text (RTF and
// RTFD folders) and the speaker notes of presentations. Stateless; any thread.
class ScriptImporter {
public:
    // Chooses the reader by the lower-cased extension; the title is the file name
    // without its last extension.
    static ImportResult<ImportedScript> load(const std::filesystem::path& path);
    // The pasteboard's plain text, titled "Guion pegado".
    static ImportResult<ImportedScript> fromPasteboard(const Pasteboard& pasteboard);
    // The one clean-up of incoming text: line ends, typographic characters, slide
    // headings, list bullets and runs of empty lines.
    static std::string clean(std::string_view text);
    // The five kinds of file the open dialog accepts, in the dialog's order.
    static const std::vector<ImportContentType>& supportedTypes();

private:
    static ImportResult<std::string> readPlainText(const std::filesystem::path& path);
    static ImportResult<std::string> readRichText(const std::filesystem::path& path);
};

}  // namespace vorela
