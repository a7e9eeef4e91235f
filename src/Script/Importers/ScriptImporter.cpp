#include "Script/Importers/ScriptImporter.h"

#include <algorithm>

#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/FileContents.h"
#include "Platform/Pasteboard/Pasteboard.h"
#include "Script/Importers/ImportFile.h"
#include "Script/Importers/PowerPointNotes.h"
#include "Script/Importers/RichText.h"
#include "Script/Importers/TextCleanup.h"
#include "Script/Importers/TextEncoding.h"
#include "Script/Script.h"
#include "Script/Unicode.h"

namespace vorela {

namespace {

bool isPlainTextExtension(std::string_view extension) {
    return extension.empty() || extension == "txt" || extension == "md" ||
           extension == "markdown" || extension == "text";
}

// Text never holds C0 controls other than white space; binary data decoded as text does.
bool looksLikeBinary(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f' &&
               byte != '\v';
    });
}

}  // namespace

ImportResult<ImportedScript> ScriptImporter::load(const std::filesystem::path& path) {
    const std::filesystem::path name(ImportFile::fileName(path));
    std::string extension = name.extension().string();
    if (!extension.empty()) extension.erase(0, 1);  // the dot
    extension = unicode::lowercased(extension);
    const std::string title = name.stem().string();  // ".notas" and "guion" keep their names

    ImportResult<std::string> text = std::string();
    if (isPlainTextExtension(extension)) {
        text = readPlainText(path);
    } else if (extension == "rtf" || extension == "rtfd") {
        text = readRichText(path);
    } else if (extension == "pptx") {
        text = PowerPointNotes::read(path);
    } else {
        return ScriptImportError::unsupportedType(extension);
    }
    if (!text) {
        if (text.error().kind() == ScriptImportError::Kind::tooLarge)
            return ScriptImportError::tooLarge(ImportFile::fileName(path));
        return text.error();
    }
    // Decoding can grow a file's bytes (a Windows-1252 byte becomes up to three).
    if (text.value().size() > Script::kMaxBodySize)
        return ScriptImportError::tooLarge(ImportFile::fileName(path));
    std::string body = clean(text.value());
    if (body.empty()) return ScriptImportError::emptyContent();
    return ImportedScript{title, std::move(body)};
}

ImportResult<ImportedScript> ScriptImporter::fromPasteboard(const Pasteboard& pasteboard) {
    const auto text = pasteboard.string();
    if (!text) return ScriptImportError::emptyContent();
    if (text->size() > Script::kMaxBodySize) return ScriptImportError::tooLarge({});
    std::string body = clean(*text);
    if (body.empty()) return ScriptImportError::emptyContent();
    return ImportedScript{Bundle::localized("Guion pegado"), std::move(body)};
}

std::string ScriptImporter::clean(std::string_view text) { return TextCleanup::clean(text); }

ImportResult<std::string> ScriptImporter::readPlainText(const std::filesystem::path& path) {
    auto bytes = ImportFile::read(path);
    if (!bytes) return bytes.error();
    return TextEncoding::decode(std::move(bytes.value()));
}

ImportResult<std::string> ScriptImporter::readRichText(const std::filesystem::path& path) {
    // An RTFD document is a folder whose text is the RTF file TXT.rtf inside it.
    auto bytes = ImportFile::read(FileContents::isFolder(path) ? path / "TXT.rtf" : path);
    if (!bytes) return bytes.error();
    // Like the platform's reader, a file that is not RTF is read as plain text; but one that
    // is neither (a renamed binary) is refused rather than imported as garbage.
    if (!RichText::looksLikeRtf(bytes.value())) {
        std::string text = TextEncoding::decode(bytes.value());
        if (looksLikeBinary(text)) {
            return ScriptImportError::unreadable(
                Bundle::localized("El archivo no es un documento de texto enriquecido."));
        }
        return text;
    }
    auto text = RichText::plainText(bytes.value());
    if (!text) {
        return ScriptImportError::unreadable(Bundle::localized(
            "El documento de texto enriquecido está dañado: tiene demasiados grupos anidados."));
    }
    return std::move(*text);
}

const std::vector<ImportContentType>& ScriptImporter::supportedTypes() {
    static const std::vector<ImportContentType> types = {
        {"text/plain", {"txt", "text"}},
        {"text/rtf", {"rtf"}},
        {"text/plain;charset=utf-8", {"txt", "text"}},
        {"text/markdown", {"md", "markdown"}},
        {"application/vnd.openxmlformats-officedocument.presentationml.presentation", {"pptx"}},
    };
    return types;
}

}  // namespace vorela
