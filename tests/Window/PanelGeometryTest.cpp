#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "Platform/Defaults/RawRepresentable.h"
#include "Window/PanelGeometry.h"
#include "Window/PanelMode.h"

namespace vorela {
namespace {

TEST(PanelGeometryTest, EncodesExactlyFiveKeysInSortedOrder) {
    const nlohmann::json json = PanelGeometry{"floating", 12.5, -40, 620, 160};
    EXPECT_EQ(json.dump(),
              R"({"height":160.0,"mode":"floating","width":620.0,"x":12.5,"y":-40.0})");
    EXPECT_EQ(json.get<PanelGeometry>(), (PanelGeometry{"floating", 12.5, -40, 620, 160}));
}

TEST(PanelGeometryTest, RejectsIncompleteOrMistypedObjects) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"missing height", R"({"mode":"floating","x":1,"y":2,"width":3})"},
        {"mode is a number", R"({"mode":1,"x":1,"y":2,"width":3,"height":4})"},
        {"x is text", R"({"mode":"notch","x":"1","y":2,"width":3,"height":4})"},
        {"y is a Boolean", R"({"mode":"notch","x":1,"y":true,"width":3,"height":4})"},
        {"not an object", R"([1,2,3])"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(nlohmann::json::parse(c.text).get<PanelGeometry>(), nlohmann::json::exception);
    }
    // Integers are numbers; extra keys are ignored.
    const auto g =
        nlohmann::json::parse(R"({"mode":"notch","x":1,"y":2,"width":3,"height":4,"z":0})")
            .get<PanelGeometry>();
    EXPECT_EQ(g, (PanelGeometry{"notch", 1, 2, 3, 4}));
}

TEST(PanelModeTest, RawValuesNamesAndLimits) {
    for (auto mode : kAllPanelModes) EXPECT_EQ(makeFromRawValue<PanelMode>(rawValue(mode)), mode);
    EXPECT_EQ(makeFromRawValue<PanelMode>("Notch"), std::nullopt);
    EXPECT_EQ(localizedName(PanelMode::notch), "Bajo el notch");
    EXPECT_EQ(localizedName(PanelMode::fullscreen), "Pantalla completa");
    EXPECT_EQ(clampWidth(PanelMode::fullscreen, 5000), 4000);
    EXPECT_EQ(clampHeight(PanelMode::fullscreen, 10), 90);
    EXPECT_EQ(clampWidth(PanelMode::floating, std::nan("")), 280) << "NaN never reaches a frame";
}

}  // namespace
}  // namespace vorela
