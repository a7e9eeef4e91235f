#include "Render/ThemeFont.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string_view rawValue(ThemeFont font) {
    switch (font) {
        case ThemeFont::sans:
            return "sans";
        case ThemeFont::serif:
            return "serif";
        case ThemeFont::mono:
            return "mono";
        case ThemeFont::dyslexic:
            return "dyslexic";
    }
    return "sans";
}

std::optional<ThemeFont> fromRawValue(std::type_identity<ThemeFont>, std::string_view raw) {
    for (auto font : kAllThemeFonts) {
        if (rawValue(font) == raw) return font;
    }
    return std::nullopt;
}

std::string localizedName(ThemeFont font) {
    switch (font) {
        case ThemeFont::sans:
            return Bundle::localized("Sans");
        case ThemeFont::serif:
            return Bundle::localized("Serif");
        case ThemeFont::mono:
            return Bundle::localized("Monoespaciada");
        case ThemeFont::dyslexic:
            return Bundle::localized("OpenDyslexic");
    }
    return {};
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
