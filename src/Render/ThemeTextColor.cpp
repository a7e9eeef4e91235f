#include "Render/ThemeTextColor.h"

#include "Platform/Bundle/Bundle.h"
#include "Render/Brand.h"

namespace vorela {

std::string_view rawValue(ThemeTextColor color) {
    return EnumCases::raw(kThemeTextColorCases, color);
}

std::optional<ThemeTextColor> fromRawValue(std::type_identity<ThemeTextColor>,
                                           std::string_view raw) {
    return EnumCases::fromRaw(kThemeTextColorCases, raw);
}

std::string localizedName(ThemeTextColor color) {
    return Bundle::localized(EnumCases::name(kThemeTextColorCases, color));
}

Color color(ThemeTextColor choice) {
    switch (choice) {
        case ThemeTextColor::cream:
            return Color::sRGB(0.96, 0.94, 0.87);
        case ThemeTextColor::white:
            return Color::sRGB(1, 1, 1);
        case ThemeTextColor::amber:
            return Color::sRGB(1.0, 0.75, 0.29);
        case ThemeTextColor::green:
            return Color::sRGB(0.6, 1.0, 0.63);
        case ThemeTextColor::brand:
            return Brand::accent();
    }
    return Color::sRGB(1, 1, 1);
}

}  // namespace vorela
