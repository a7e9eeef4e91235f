// Feeds arbitrary bytes to the RTF reader, as an RTF document whatever they are: deep
// nesting, broken escapes and huge parameters must end in text or a refusal, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Script/Importers/RichText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string document = "{\\rtf1 ";
    document.append(reinterpret_cast<const char*>(data), size);
    (void)vorela::RichText::plainText(document);
    (void)vorela::RichText::plainText(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
