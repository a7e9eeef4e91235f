#include "App/Qt/TranscriptionEngineFactory.h"

#include <filesystem>

#include "Platform/Audio/Linux/SampleRateConverter.h"
#include "Platform/Speech/Linux/PocketSphinxAnalyzer.h"
#include "Voice/ModernTranscriber.h"

namespace vorela {
namespace {

std::filesystem::path ownFolder() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

}  // namespace

MakeTranscriptionEngine makeTranscriptionEngineFactory(RunLoop& loop,
                                                       SpeechAuthorization& authorization,
                                                       MatcherTelemetry& telemetry) {
    return [&loop, &authorization, &telemetry]() -> std::shared_ptr<TranscriptionEngine> {
        // The decoder installed beside the program, else the one this build made.
        std::filesystem::path decoder = ownFolder() / "vorela-decoder";
        if (!std::filesystem::exists(decoder)) decoder = VORELA_BUILD_DECODER;
        PocketSphinxAnalyzer::Config config{
            decoder, SpeechModelLocator::standard(ownFolder()), [](const std::string& locale) {
                return TranscriptionUnavailability::modelNotInstalled(locale)
                    .localizedDescription();
            }};
        return std::make_shared<ModernTranscriber>(ModernTranscriber::Services{
            loop, authorization, std::make_shared<PocketSphinxAnalyzer>(std::move(config)),
            &SampleRateConverter::make, telemetry});
    };
}

}  // namespace vorela
