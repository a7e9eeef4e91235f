#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Script/Importers/ScriptImportError.h"
#include "Script/Script.h"

namespace vorela {

// The speaker notes of a presentation file: every notes page in slide order, pages
// separated by one empty line. Fails with emptyContent when no page has text, and with
// tooLarge (no file name) as soon as the text passes `maxTextSize` bytes.
class PowerPointNotes {
public:
    static ImportResult<std::string> read(const std::filesystem::path& path);
    // The same from the archive's bytes.
    static ImportResult<std::string> fromData(std::vector<std::uint8_t> archive,
                                              std::size_t maxTextSize = Script::kMaxBodySize);

    // All decimal digits of a member name, in order, as one number; 0 when there are
    // none or the number does not fit.
    static long long slideNumber(std::string_view name);
};

}  // namespace vorela
