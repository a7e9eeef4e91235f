// Feeds arbitrary bytes to the URL parser, as any program may open a "prompter:" link:
// a URL that is taken must hold only what the parser promises (valid UTF-8 parts).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "App/UrlComponents.h"
#include "Platform/Foundation/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view url(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto parts = vorela::UrlComponents::parse(url, &why);
    if (!parts) return 0;
    bool isValid = vorela::unicode::isValidUtf8(parts->path);
    for (const auto& item : parts->queryItems) {
        isValid = isValid && vorela::unicode::isValidUtf8(item.name) &&
                  (!item.value || vorela::unicode::isValidUtf8(*item.value));
    }
    if (!isValid) __builtin_trap();
    (void)parts->firstItem("text");
    return 0;
}
