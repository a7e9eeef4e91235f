#include "Platform/Speech/TranscriptionLocale.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Bundle/SystemLocale.h"

namespace vorela {

std::string_view rawValue(TranscriptionLocale locale) {
    return EnumCases::raw(kTranscriptionLocaleCases, locale);
}

std::optional<TranscriptionLocale> fromRawValue(std::type_identity<TranscriptionLocale>,
                                                std::string_view raw) {
    return EnumCases::fromRaw(kTranscriptionLocaleCases, raw);
}

std::string localizedName(TranscriptionLocale locale) {
    return Bundle::localized(EnumCases::name(kTranscriptionLocaleCases, locale));
}

TranscriptionLocale transcriptionLocaleFor(const std::string& language, const std::string& region) {
    if (language == "es") {
        return region == "ES" ? TranscriptionLocale::spanishSpain
                              : TranscriptionLocale::spanishMexico;
    }
    if (language == "en" && region == "GB") return TranscriptionLocale::englishUK;
    return TranscriptionLocale::englishUS;
}

TranscriptionLocale systemDefaultTranscriptionLocale() {
    const auto locale = SystemLocale::current();
    return transcriptionLocaleFor(locale.language, locale.region);
}

bool isEnglish(TranscriptionLocale locale) {
    return locale == TranscriptionLocale::englishUS || locale == TranscriptionLocale::englishUK;
}

}  // namespace vorela
