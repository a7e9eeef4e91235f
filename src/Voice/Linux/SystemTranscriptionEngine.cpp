#include "Voice/Linux/SystemTranscriptionEngine.h"

#include "Platform/Audio/Linux/SampleRateConverter.h"
#include "Platform/Speech/Linux/GrantedSpeechAuthorization.h"
#include "Voice/ModernTranscriber.h"

namespace vorela {

namespace {

std::filesystem::path executableFolder() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

bool isProgram(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::filesystem::path systemDecoderProgram() {
    const std::filesystem::path candidates[] = {
        executableFolder() / "vorela-decoder",
        std::filesystem::path(VORELA_INSTALL_BIN) / "vorela-decoder",
        VORELA_BUILD_DECODER,
    };
    for (const auto& candidate : candidates)
        if (isProgram(candidate)) return candidate;
    return {};
}

PocketSphinxAnalyzer::Config systemAnalyzerConfig() {
    return {
        .decoderProgram = systemDecoderProgram(),
        .locator = SpeechModelLocator::standard(executableFolder()),
        .missingModelText =
            [](const std::string& locale) {
                return TranscriptionUnavailability::modelNotInstalled(locale)
                    .localizedDescription();
            },
    };
}

MakeTranscriptionEngine makeSystemTranscriptionEngine(
    RunLoop& loop, MatcherTelemetry& telemetry, std::shared_ptr<PocketSphinxAnalyzer> analyzer) {
    if (!analyzer) analyzer = std::make_shared<PocketSphinxAnalyzer>(systemAnalyzerConfig());
    auto authorization = std::make_shared<GrantedSpeechAuthorization>(loop);
    return [&loop, &telemetry, analyzer, authorization]() -> std::shared_ptr<TranscriptionEngine> {
        auto engine = std::make_shared<ModernTranscriber>(ModernTranscriber::Services{
            loop, *authorization, analyzer, &SampleRateConverter::make, telemetry});
        // The engine holds the authorisation by reference: it lives as long as the engine.
        return std::shared_ptr<TranscriptionEngine>(
            engine.get(), [engine, authorization](TranscriptionEngine*) mutable {
                engine.reset();
                authorization.reset();
            });
    };
}

}  // namespace vorela
