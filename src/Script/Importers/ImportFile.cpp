#include "Script/Importers/ImportFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "Platform/Bundle.h"

namespace vorela {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

ImportResult<std::string> failure(const char* lead, const std::string& name, const char* tail) {
    return ScriptImportError::unreadable(Bundle::localized(lead) + name + Bundle::localized(tail));
}

ImportResult<std::string> failureFor(int error, const std::string& name) {
    if (error == ENOENT || error == ENOTDIR) {
        return failure("No se pudo abrir el archivo «", name, "» porque no existe.");
    }
    if (error == EACCES || error == EPERM) {
        return failure("No tenés permiso para abrir el archivo «", name, "».");
    }
    return failure("No se pudo leer el archivo «", name, "».");
}

}  // namespace

std::string ImportFile::fileName(const std::filesystem::path& path) {
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return std::filesystem::path(text).filename().string();
}

ImportResult<std::string> ImportFile::read(const std::filesystem::path& path) {
    const std::string name = fileName(path);
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) return failureFor(error.value(), name);
    if (std::filesystem::is_directory(status)) return failureFor(EISDIR, name);

    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return failureFor(errno, name);
    // The size is taken from the open file, so a swapped path cannot slip past the limit.
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return failureFor(errno, name);
    const long size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return failureFor(errno, name);
    if (static_cast<std::uintmax_t>(size) > kMaxImportFileSize) {
        return failure("El archivo «", name, "» ocupa más de 50 MB; no se puede importar.");
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) return failureFor(errno, name);
    bytes.resize(got);
    return bytes;
}

}  // namespace vorela
