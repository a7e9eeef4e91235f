#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

#include "Platform/Foundation/Geometry.h"

namespace vorela {

// The saved frame of the floating panel on one screen. Stored as a JSON object with
// exactly the keys "mode", "x", "y", "width" and "height", all required.
struct PanelGeometry {
    // Raw value of the configured placement when the frame was saved.
    std::string mode;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    Rect rect() const { return {x, y, width, height}; }

    bool operator==(const PanelGeometry&) const = default;
};

// JSON coding. from_json throws nlohmann::json::exception for a missing key or a value of
// the wrong type; callers that read stored text catch it and treat the entry as absent.
void to_json(nlohmann::json& json, const PanelGeometry& geometry);
void from_json(const nlohmann::json& json, PanelGeometry& geometry);

}  // namespace vorela
