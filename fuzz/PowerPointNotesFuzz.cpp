// Feeds arbitrary bytes to the speaker-notes reader: archives (inputs opening with "PK")
// go through the whole presentation path, anything else straight to the notes-page parser.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "Script/Importers/DrawingMLText.h"
#include "Script/Importers/PowerPointNotes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 2 && data[0] == 'P' && data[1] == 'K') {
        (void)vorela::PowerPointNotes::fromData(std::vector<std::uint8_t>(data, data + size));
    } else {
        (void)vorela::DrawingMLText::paragraphs(std::span<const std::uint8_t>(data, size));
    }
    return 0;
}
