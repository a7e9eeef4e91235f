#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Speech/PocketSphinx/ScriptModelBuilder.h"

namespace vorela {

// An acoustic model on disk and how to spell words for it.
struct AcousticModel {
    std::filesystem::path folder;
    ScriptModelBuilder::PhoneSet phones = ScriptModelBuilder::PhoneSet::englishModel;
    std::optional<std::filesystem::path> lexicon;  // pronouncing dictionary of its phones

    bool operator==(const AcousticModel&) const = default;
};

// Where the acoustic model of a language is. A model the user put in the models folder
// (<folder>/<locale>/, holding an "mdef") wins; then the Spanish model shipped with the
// application, or Debian's English one. Spanish falls back to the English model (spelled
// by rules) when the Spanish one is missing. Nothing is downloaded.
class SpeechModelLocator {
public:
    struct Places {
        std::filesystem::path userModels;            // $XDG_DATA_HOME/<app id>/models
        std::vector<std::filesystem::path> spanish;  // shipped Spanish model folders
        std::filesystem::path english;               // Debian's en-US model folder
        std::filesystem::path englishDictionary;     // cmudict
    };

    explicit SpeechModelLocator(Places places) : places_(std::move(places)) {}
    // The places of this installation; `executableFolder` holds the running program.
    static SpeechModelLocator standard(const std::filesystem::path& executableFolder);

    // "es-ES", "es-MX", "en-US", "en-GB" (any Spanish or English region).
    std::optional<AcousticModel> model(const std::string& localeIdentifier) const;
    static bool isSpanish(const std::string& localeIdentifier);
    static bool isKnownLanguage(const std::string& localeIdentifier);

private:
    Places places_;
};

}  // namespace vorela
