// Feeds arbitrary bytes to the plain-text decoder, as an imported text file may hold
// anything: byte-order marks, odd lengths, lone surrogates. The result is always UTF-8.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Platform/Foundation/Utf8.h"
#include "Script/Importers/TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text =
        vorela::TextEncoding::decode(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!vorela::unicode::isValidUtf8(text)) __builtin_trap();
    return 0;
}
