#include "Platform/Foundation/Json.h"

#include <cmath>

namespace vorela::Json {

namespace {

// The path of the first non-finite number in the value ("" for the top level), if any.
std::optional<std::string> nonFinitePath(const nlohmann::json& value, const std::string& path) {
    if (value.is_number_float()) {
        if (!std::isfinite(value.get<double>())) return path;
        return std::nullopt;
    }
    if (value.is_object()) {
        for (const auto& [key, member] : value.items()) {
            if (auto found = nonFinitePath(member, path.empty() ? key : path + "." + key)) {
                return found;
            }
        }
    } else if (value.is_array()) {
        std::size_t index = 0;
        for (const auto& element : value) {
            if (auto found = nonFinitePath(element, path + "[" + std::to_string(index) + "]")) {
                return found;
            }
            ++index;
        }
    }
    return std::nullopt;
}

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c) {
    const auto at = kAlphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

Encoded encode(const nlohmann::json& value) {
    if (auto path = nonFinitePath(value, "")) {
        return {std::nullopt, "No se puede codificar un número no finito en JSON (ruta: «" +
                                  (path->empty() ? std::string("raíz") : *path) + "»)."};
    }
    try {
        return {value.dump(), {}};
    } catch (const nlohmann::json::exception& e) {
        return {std::nullopt, std::string("No se pudo codificar el valor en JSON: ") + e.what()};
    }
}

std::optional<nlohmann::json> parse(std::string_view text) {
    auto value = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (value.is_discarded()) return std::nullopt;
    return value;
}

std::string base64Encode(const PlistData& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += kAlphabet[(n >> 6) & 63];
        out += kAlphabet[n & 63];
    }
    if (const std::size_t rest = bytes.size() - i; rest > 0) {
        const unsigned n = (bytes[i] << 16) | (rest == 2 ? bytes[i + 1] << 8 : 0);
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += rest == 2 ? kAlphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<PlistData> base64Decode(std::string_view text) {
    PlistData out;
    unsigned buffer = 0;
    int bits = 0;
    std::size_t padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = sextet(c);
        if (value < 0 || padding > 0) return std::nullopt;  // data after padding is malformed
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((buffer >> bits) & 0xFF));
        }
    }
    if (padding > 2 || bits >= 6) return std::nullopt;
    return out;
}

}  // namespace vorela::Json
