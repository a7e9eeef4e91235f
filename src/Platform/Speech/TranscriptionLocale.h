#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "Platform/Defaults/EnumCases.h"

namespace vorela {

// The recognition language the user chooses; stored by its raw value.
enum class TranscriptionLocale { spanishSpain, spanishMexico, englishUS, englishUK };

// The stored raw value and the display name of each case, in declared order.
inline constexpr std::array<EnumCase<TranscriptionLocale>, 4> kTranscriptionLocaleCases = {{
    {TranscriptionLocale::spanishSpain, "es-ES", "Español (España)"},
    {TranscriptionLocale::spanishMexico, "es-MX", "Español (Latinoamérica)"},
    {TranscriptionLocale::englishUS, "en-US", "Inglés (EE. UU.)"},
    {TranscriptionLocale::englishUK, "en-GB", "Inglés (Reino Unido)"},
}};
inline constexpr auto kAllTranscriptionLocales = EnumCases::values(kTranscriptionLocaleCases);

std::string_view rawValue(TranscriptionLocale locale);
std::optional<TranscriptionLocale> fromRawValue(std::type_identity<TranscriptionLocale>,
                                                std::string_view raw);
// "Español (España)"... through the bundle's string lookup.
std::string localizedName(TranscriptionLocale locale);
// From the desktop's language and region (SystemLocale::current()).
TranscriptionLocale systemDefaultTranscriptionLocale();
TranscriptionLocale transcriptionLocaleFor(const std::string& language, const std::string& region);
bool isEnglish(TranscriptionLocale locale);

}  // namespace vorela
