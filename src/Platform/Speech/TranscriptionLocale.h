#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vorela {

// The recognition language the user chooses; stored by its raw value.
enum class TranscriptionLocale { spanishSpain, spanishMexico, englishUS, englishUK };

inline constexpr std::array<TranscriptionLocale, 4> kAllTranscriptionLocales = {
    TranscriptionLocale::spanishSpain, TranscriptionLocale::spanishMexico,
    TranscriptionLocale::englishUS, TranscriptionLocale::englishUK};

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
