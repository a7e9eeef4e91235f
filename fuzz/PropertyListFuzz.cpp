// Feeds arbitrary bytes to the property-list reader, as a preference file someone else
// wrote could hold: deep nesting, broken entities and odd numbers must end in an object or
// a refusal, and an object that was read must write out again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Platform/Defaults/PlistXml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed =
        vorela::PlistXml::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (parsed.object) (void)vorela::PlistXml::write(*parsed.object);
    return 0;
}
