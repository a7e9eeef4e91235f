#include "Platform/Speech/TranscriptionLocale.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Bundle/SystemLocale.h"

namespace vorela {

std::string_view rawValue(TranscriptionLocale locale) {
    switch (locale) {
        case TranscriptionLocale::spanishSpain:
            return "es-ES";
        case TranscriptionLocale::spanishMexico:
            return "es-MX";
        case TranscriptionLocale::englishUS:
            return "en-US";
        case TranscriptionLocale::englishUK:
            return "en-GB";
    }
    return "en-US";
}

std::optional<TranscriptionLocale> fromRawValue(std::type_identity<TranscriptionLocale>,
                                                std::string_view raw) {
    for (auto locale : kAllTranscriptionLocales) {
        if (rawValue(locale) == raw) return locale;
    }
    return std::nullopt;
}

std::string localizedName(TranscriptionLocale locale) {
    switch (locale) {
        case TranscriptionLocale::spanishSpain:
            return Bundle::localized("Español (España)");
        case TranscriptionLocale::spanishMexico:
            return Bundle::localized("Español (Latinoamérica)");
        case TranscriptionLocale::englishUS:
            return Bundle::localized("Inglés (EE. UU.)");
        case TranscriptionLocale::englishUK:
            return Bundle::localized("Inglés (Reino Unido)");
    }
    return {};
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
