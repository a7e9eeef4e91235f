#include "Render/ThemeTextColor.h"

#include "Platform/Bundle/Bundle.h"
#include "Render/Brand.h"

namespace vorela {

std::string_view rawValue(ThemeTextColor color) {
    switch (color) {
        case ThemeTextColor::cream:
            return "cream";
        case ThemeTextColor::white:
            return "white";
        case ThemeTextColor::amber:
            return "amber";
        case ThemeTextColor::green:
            return "green";
        case ThemeTextColor::brand:
            return "brand";
    }
    return "cream";
}

std::optional<ThemeTextColor> fromRawValue(std::type_identity<ThemeTextColor>,
                                           std::string_view raw) {
    for (auto color : kAllThemeTextColors) {
        if (rawValue(color) == raw) return color;
    }
    return std::nullopt;
}

std::string localizedName(ThemeTextColor color) {
    switch (color) {
        case ThemeTextColor::cream:
            return Bundle::localized("Crema");
        case ThemeTextColor::white:
            return Bundle::localized("Blanco");
        case ThemeTextColor::amber:
            return Bundle::localized("Ámbar");
        case ThemeTextColor::green:
            return Bundle::localized("Verde");
        case ThemeTextColor::brand:
            return Bundle::localized("Naranja Vorela");
    }
    return {};
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
