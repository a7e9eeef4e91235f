// Feeds arbitrary bytes to the ZIP reader: it must never read outside the buffer, never
// allocate past its limits and never crash, whatever the archive claims.
#include <cstddef>
#include <cstdint>

#include "Script/Importers/ZipArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vorela::ZipArchive archive(std::vector<std::uint8_t>(data, data + size));
    std::size_t asked = 0;
    // Accept every other member, so both the skip and the extraction paths run.
    const auto result = archive.entries([&](std::string_view) { return asked++ % 2 == 0; });
    if (result.ok()) {
        std::size_t total = 0;
        for (const auto& entry : result.value()) total += entry.data.size() + entry.name.size();
        if (total > vorela::ZipArchive::kMaxTotalSize + size) __builtin_trap();
    }
    return 0;
}
