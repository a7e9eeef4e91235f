#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Speech/Linux/DecoderProtocol.h"
#include "Platform/Speech/PocketSphinx/PronunciationLexicon.h"
#include "Platform/Speech/PocketSphinx/SpeechModelLocator.h"

namespace vorela {

struct SpeechScript;

// What the decoder is asked to load for a language and a script: the language's acoustic
// model, and the script's dictionary and language model spelled for that model's phones.
// A model's pronouncing dictionary takes a while to read, so each is read once and kept.
// Not thread-safe: one thread builds.
class LoadRequestBuilder {
public:
    LoadRequestBuilder(SpeechModelLocator locator, double garbageWeight, std::string decoderOptions)
        : locator_(std::move(locator)),
          garbageWeight_(garbageWeight),
          decoderOptions_(std::move(decoderOptions)) {}

    // Nothing when the language has no model on disk; no script builds the phone loop only.
    std::optional<decoder::LoadRequest> build(const std::string& locale,
                                              const std::shared_ptr<const SpeechScript>& script);

private:
    const PronunciationLexicon* lexicon(const std::filesystem::path& file);

    SpeechModelLocator locator_;
    double garbageWeight_;
    std::string decoderOptions_;
    std::map<std::filesystem::path, std::unique_ptr<PronunciationLexicon>> lexicons_;
};

}  // namespace vorela
