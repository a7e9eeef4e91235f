#include "Window/PanelGeometry.h"

#include <nlohmann/json.hpp>

namespace vorela {

void to_json(nlohmann::json& json, const PanelGeometry& geometry) {
    json = nlohmann::json{{"mode", geometry.mode},
                          {"x", geometry.x},
                          {"y", geometry.y},
                          {"width", geometry.width},
                          {"height", geometry.height}};
}

void from_json(const nlohmann::json& json, PanelGeometry& geometry) {
    // at() and get_to() throw on a missing key or a wrong type: every key is required.
    // The library would read true as 1.0; a stored frame must hold real numbers.
    const auto number = [&json](const char* key) {
        const auto& value = json.at(key);
        if (!value.is_number()) {
            throw nlohmann::json::type_error::create(
                302, std::string("\"") + key + "\" is not a number", &value);
        }
        return value.get<double>();
    };
    PanelGeometry decoded;
    json.at("mode").get_to(decoded.mode);
    decoded.x = number("x");
    decoded.y = number("y");
    decoded.width = number("width");
    decoded.height = number("height");
    geometry = std::move(decoded);
}

}  // namespace vorela
