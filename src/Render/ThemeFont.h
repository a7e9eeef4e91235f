#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Platform/Defaults/EnumCases.h"

namespace vorela {

// Family of the prompter text; stored by its raw value (the case name).
enum class ThemeFont { sans, serif, mono, dyslexic };

// The stored raw value and the display name of each case, in declared order.
inline constexpr std::array<EnumCase<ThemeFont>, 4> kThemeFontCases = {{
    {ThemeFont::sans, "sans", "Sans"},
    {ThemeFont::serif, "serif", "Serif"},
    {ThemeFont::mono, "mono", "Monoespaciada"},
    {ThemeFont::dyslexic, "dyslexic", "OpenDyslexic"},
}};
inline constexpr auto kAllThemeFonts = EnumCases::values(kThemeFontCases);

std::string_view rawValue(ThemeFont font);
std::optional<ThemeFont> fromRawValue(std::type_identity<ThemeFont>, std::string_view raw);
// "Sans", "Serif", "Monoespaciada", "OpenDyslexic".
std::string localizedName(ThemeFont font);

enum class FontWeight { regular, semibold };

// A font the view resolves with its toolkit: the first candidate that exists is used.
// The last candidate is always a system font, which always exists.
struct FontCandidate {
    enum class Kind {
        system,            // the desktop's interface font
        systemMonospaced,  // the desktop's fixed-width font
        family,            // an installed family by name ("serif" is the desktop's serif face)
    };
    Kind kind = Kind::system;
    std::string familyName;  // for Kind::family only
    double size = 0;         // points
    // Nothing: the family's own face is used as it is, without a weight.
    std::optional<FontWeight> weight;

    bool operator==(const FontCandidate&) const = default;
};

struct FontDescription {
    std::vector<FontCandidate> candidates;
    bool operator==(const FontDescription&) const = default;
};

// The font of a family at a size and weight. Named families take no weight; when none of
// them is installed the system font at the weight stands in.
FontDescription font(ThemeFont family, double size, FontWeight weight);

}  // namespace vorela
