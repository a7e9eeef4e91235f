#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "Script/Importers/ScriptImportError.h"

namespace vorela {

// Whole-file reads for the importers. A file over kMaxImportFileSize is refused before
// anything is allocated; failures carry a Spanish message naming the file.
class ImportFile {
public:
    static constexpr std::uintmax_t kMaxImportFileSize = 50ull << 20;

    static ImportResult<std::string> read(const std::filesystem::path& path);
    // The path's last component, ignoring trailing separators ("Notas.rtfd/").
    static std::string fileName(const std::filesystem::path& path);
};

}  // namespace vorela
