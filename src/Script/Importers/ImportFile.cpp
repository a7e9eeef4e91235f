#include "Script/Importers/ImportFile.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/FileContents.h"

namespace vorela {

namespace {

ScriptImportError failure(const char* lead, const std::string& name, const char* tail) {
    return ScriptImportError::unreadable(Bundle::localized(lead) + name + Bundle::localized(tail));
}

}  // namespace

std::string ImportFile::fileName(const std::filesystem::path& path) {
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return std::filesystem::path(text).filename().string();
}

ImportResult<std::string> ImportFile::read(const std::filesystem::path& path) {
    auto contents = FileContents::read(path, kMaxImportFileSize);
    if (contents.bytes) return std::move(*contents.bytes);
    const std::string name = fileName(path);
    switch (contents.failure) {
        case FileContents::Failure::notFound:
            return failure("No se pudo abrir el archivo «", name, "» porque no existe.");
        case FileContents::Failure::permissionDenied:
            return failure("No tenés permiso para abrir el archivo «", name, "».");
        case FileContents::Failure::tooLarge:
            return failure("El archivo «", name, "» ocupa más de 50 MB; no se puede importar.");
        case FileContents::Failure::changed:
            return failure("El archivo «", name,
                           "» cambió mientras se leía; no se importó. Probá de nuevo cuando "
                           "termine de guardarse.");
        case FileContents::Failure::isFolder:
        case FileContents::Failure::unreadable:
            break;
    }
    return failure("No se pudo leer el archivo «", name, "».");
}

}  // namespace vorela
