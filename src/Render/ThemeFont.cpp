#include "Render/ThemeFont.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string_view rawValue(ThemeFont font) { return EnumCases::raw(kThemeFontCases, font); }

std::optional<ThemeFont> fromRawValue(std::type_identity<ThemeFont>, std::string_view raw) {
    return EnumCases::fromRaw(kThemeFontCases, raw);
}

std::string localizedName(ThemeFont font) {
    return Bundle::localized(EnumCases::name(kThemeFontCases, font));
}

FontDescription font(ThemeFont family, double size, FontWeight weight) {
    using Kind = FontCandidate::Kind;
    const FontCandidate system{Kind::system, {}, size, weight};
    switch (family) {
        case ThemeFont::sans:
            return {{system}};
        case ThemeFont::serif:
            return {{{Kind::family, "serif", size, std::nullopt}, system}};
        case ThemeFont::mono:
            return {{{Kind::systemMonospaced, {}, size, weight}}};
        case ThemeFont::dyslexic:
            return {{{Kind::family, "OpenDyslexic", size, std::nullopt},
                     {Kind::family, "OpenDyslexic-Regular", size, std::nullopt},
                     system}};
    }
    return {{system}};
}

}  // namespace vorela
