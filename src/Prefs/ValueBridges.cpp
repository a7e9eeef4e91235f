#include "Prefs/ValueBridges.h"

#include <cmath>

#include "Platform/Foundation/Json.h"

namespace vorela::Prefs {

std::optional<PropertyList> Bridge<Url>::toSerializable(const Url& value) {
    auto encoded = Json::encode(nlohmann::json{{"relative", value.absoluteString}});
    if (!encoded.text) return std::nullopt;
    return PropertyList(std::move(*encoded.text));
}

std::optional<Url> Bridge<Url>::toValue(const PropertyList& object) {
    const std::string* text = object.string();
    if (!text) return std::nullopt;
    auto json = Json::parse(*text);
    if (!json || !json->is_object()) return std::nullopt;
    auto relative = json->find("relative");
    if (relative == json->end() || !relative->is_string()) return std::nullopt;
    return Url{relative->get<std::string>()};
}

std::optional<PropertyList> Bridge<Uuid>::toSerializable(const Uuid& value) {
    return PropertyList(value.uuidString());
}

std::optional<Uuid> Bridge<Uuid>::toValue(const PropertyList& object) {
    const std::string* text = object.string();
    if (!text) return std::nullopt;
    return parseUuid(*text);
}

std::optional<Uuid> parseUuid(std::string_view text) {
    constexpr std::size_t kLength = 36;  // 32 hexadecimal digits and 4 hyphens
    if (text.size() != kLength) return std::nullopt;
    Uuid out;
    std::size_t byte = 0;
    for (std::size_t i = 0; i < kLength;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        auto nibble = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        const int high = nibble(text[i]);
        const int low = nibble(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        out.bytes[byte++] = static_cast<std::uint8_t>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<PropertyList> Bridge<Color>::toSerializable(const Color& value) {
    return PropertyList(
        PlistArray{PropertyList(std::string(kSrgbColorSpaceName)),
                   PropertyList(PlistArray{value.red, value.green, value.blue, value.alpha})});
}

std::optional<Color> Bridge<Color>::toValue(const PropertyList& object) {
    const PlistArray* array = object.array();
    if (!array || array->size() < 2) return std::nullopt;
    const std::string* space = (*array)[0].string();
    const PlistArray* components = (*array)[1].array();
    if (!space || *space != kSrgbColorSpaceName || !components || components->size() != 4) {
        return std::nullopt;
    }
    double c[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        auto d = (*components)[i].asDouble();
        if (!d || !std::isfinite(*d)) return std::nullopt;
        c[i] = *d;
    }
    return Color{c[0], c[1], c[2], c[3]};
}

}  // namespace vorela::Prefs
