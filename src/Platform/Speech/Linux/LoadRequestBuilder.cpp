#include "Platform/Speech/Linux/LoadRequestBuilder.h"

#include "Platform/Speech/PocketSphinx/ScriptModelBuilder.h"
#include "Platform/Speech/SpeechScript.h"

namespace vorela {

std::optional<decoder::LoadRequest> LoadRequestBuilder::build(
    const std::string& locale, const std::shared_ptr<const SpeechScript>& script) {
    const auto model = locator_.model(locale);
    if (!model) return std::nullopt;
    ScriptModelBuilder::Options options;
    options.phones = model->phones;
    options.isSpanish = SpeechModelLocator::isSpanish(locale);
    options.garbageWeight = garbageWeight_;
    if (model->lexicon) options.lexicon = lexicon(*model->lexicon);
    const SpeechScript empty;
    const ScriptModel built = ScriptModelBuilder::build(script ? *script : empty, options);
    return decoder::LoadRequest{model->folder.string(), built.dictionary, built.arpa,
                                decoderOptions_};
}

const PronunciationLexicon* LoadRequestBuilder::lexicon(const std::filesystem::path& file) {
    auto& lexicon = lexicons_[file];
    if (!lexicon) {
        // One that cannot be read counts as empty: the words are spelled by rules instead.
        auto loaded = PronunciationLexicon::load(file);
        lexicon = std::make_unique<PronunciationLexicon>(loaded ? std::move(*loaded)
                                                                : PronunciationLexicon());
    }
    return lexicon.get();
}

}  // namespace vorela
