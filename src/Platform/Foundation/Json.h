#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Defaults/PropertyList.h"

namespace vorela::Json {

// The outcome of encoding: the text, or a Spanish description of why there is none.
struct Encoded {
    std::optional<std::string> text;
    std::string error;
};

// Compact JSON text with object keys sorted (nlohmann's objects are ordered maps).
// Non-finite numbers have no JSON form, and text that is not valid UTF-8 cannot be
// written: both fail instead of being written as null or mangled.
Encoded encode(const nlohmann::json& value);

// Any JSON text, top-level fragments ("2", "true") included; nothing when malformed.
std::optional<nlohmann::json> parse(std::string_view text);

// Standard Base64 with padding, the form JSON gives to bytes.
std::string base64Encode(const PlistData& bytes);
std::optional<PlistData> base64Decode(std::string_view text);

}  // namespace vorela::Json
