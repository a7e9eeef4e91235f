#include "Platform/Speech/PocketSphinx/SpeechModelLocator.h"

#include "Platform/Store/ModelStore.h"

namespace vorela {

namespace {

bool hasModel(const std::filesystem::path& folder) {
    std::error_code ignored;
    return !folder.empty() && std::filesystem::exists(folder / "mdef", ignored);
}

// A lexicon in a user's model folder: "lexicon.txt" or the first "*.dict".
std::optional<std::filesystem::path> lexiconIn(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::exists(folder / "lexicon.txt", error)) return folder / "lexicon.txt";
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".dict") return entry.path();
    }
    return std::nullopt;
}

}  // namespace

SpeechModelLocator SpeechModelLocator::standard(const std::filesystem::path& executableFolder) {
    Places places;
    places.userModels = ModelStore::defaultLocation("models");
    places.spanish = {executableFolder / ".." / "share" / "vorela" / "models" / "es"};
#ifdef VORELA_SOURCE_MODELS
    // A build that was not installed finds the model in its source tree.
    places.spanish.push_back(std::filesystem::path(VORELA_SOURCE_MODELS) / "es");
#endif
    places.english = "/usr/share/pocketsphinx/model/en-us/en-us";
    places.englishDictionary = "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict";
    return SpeechModelLocator(std::move(places));
}

bool SpeechModelLocator::isSpanish(const std::string& locale) { return locale.rfind("es", 0) == 0; }

bool SpeechModelLocator::isKnownLanguage(const std::string& locale) {
    return isSpanish(locale) || locale.rfind("en", 0) == 0;
}

std::optional<AcousticModel> SpeechModelLocator::model(const std::string& locale) const {
    using PhoneSet = ScriptModelBuilder::PhoneSet;
    if (!isKnownLanguage(locale)) return std::nullopt;
    const bool spanish = isSpanish(locale);
    const PhoneSet own = spanish ? PhoneSet::spanishModel : PhoneSet::englishModel;
    if (const auto user = places_.userModels / locale; hasModel(user))
        return AcousticModel{user, own, lexiconIn(user)};
    if (spanish) {
        for (const auto& folder : places_.spanish) {
            if (hasModel(folder)) return AcousticModel{folder, own, lexiconIn(folder)};
        }
    }
    if (!hasModel(places_.english)) return std::nullopt;
    std::optional<std::filesystem::path> dictionary;
    // Spanish words on the English model are spelled by rules: cmudict would mislead.
    if (!spanish && std::filesystem::exists(places_.englishDictionary))
        dictionary = places_.englishDictionary;
    return AcousticModel{places_.english, PhoneSet::englishModel, dictionary};
}

}  // namespace vorela
