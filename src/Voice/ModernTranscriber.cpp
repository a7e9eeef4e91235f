#include "Voice/ModernTranscriber.h"

#include <cctype>

#include "Matcher/MatcherTelemetry.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Loop/RunLoop.h"

namespace vorela {

namespace {

// "localeNotSupported(\"xx\")": the case name, and the payload when the case has one.
std::string describe(const TranscriptionUnavailability& reason) {
    using Kind = TranscriptionUnavailability::Kind;
    switch (reason.kind()) {
        case Kind::localeNotSupported:
            return "localeNotSupported(\"" + reason.payload() + "\")";
        case Kind::modelNotInstalled:
            return "modelNotInstalled(\"" + reason.payload() + "\")";
        case Kind::failed:
            return "failed(\"" + reason.payload() + "\")";
        case Kind::permissionDenied:
            return "permissionDenied";
        case Kind::recognizerUnavailable:
            return "recognizerUnavailable";
    }
    return {};
}

std::vector<std::string> splitAtWhitespace(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!word.empty()) words.push_back(std::exchange(word, {}));
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

}  // namespace

ModernTranscriber::ModernTranscriber(Services services)
    : Transcriber(services.loop, services.authorization), services_(std::move(services)) {}

ModernTranscriber::~ModernTranscriber() { stopNow(); }

void ModernTranscriber::starting() { services_.telemetry.log("modern.permiso"); }

std::optional<TranscriptionUnavailability> ModernTranscriber::engineUnavailability(
    const std::string& localeIdentifier) {
    if (!services_.analyzer || !services_.analyzer->isAvailable())
        return TranscriptionUnavailability::recognizerUnavailable();
    if (!services_.analyzer->supportedLocale(localeIdentifier))
        return TranscriptionUnavailability::localeNotSupported(localeIdentifier);
    return std::nullopt;
}

void ModernTranscriber::refused(const TranscriptionUnavailability& reason) {
    services_.telemetry.log("modern.noDisponible", {{"razon", describe(reason)}});
}

void ModernTranscriber::begin(const std::string& localeIdentifier,
                              const std::shared_ptr<AudioSession>& session,
                              StartCompletion completion) {
    MatcherTelemetry& telemetry = services_.telemetry;
    SpeechAnalyzerService& analyzer = *services_.analyzer;
    telemetry.log("modern.locale");
    const std::string locale =
        analyzer.supportedLocale(localeIdentifier).value_or(localeIdentifier);

    telemetry.log("modern.modelo", {{"locale", locale}});
    const SpeechAssetStatus status = analyzer.assetStatus(locale);
    if (status == SpeechAssetStatus::unsupported) {
        return completion(TranscriptionStartResult::failure(TranscriptionEngineError::unavailable(
            TranscriptionUnavailability::localeNotSupported(locale))));
    }
    if (status != SpeechAssetStatus::installed) {
        // Nothing is downloaded on this platform: the inventory looks on disk again.
        logger_.notice(format("Buscando el modelo de %s…", locale.c_str()));
        if (auto failure = analyzer.installAsset(locale))
            return completion(TranscriptionStartResult::platformFailure(std::move(*failure)));
    }

    telemetry.log("modern.modeloListo");
    const auto audioFormat = analyzer.bestAudioFormat();
    // Named, not a structured binding: lambdas below capture the run number.
    auto opened = openRun(session);
    auto& stream = opened.first;
    const std::uint64_t run = opened.second;
    {
        std::lock_guard guard(lock_);
        analyzerFormat_ = audioFormat;
        converter_.reset();
    }

    telemetry.log("modern.arrancando");
    std::weak_ptr<ModernTranscriber> weak = weakAs<ModernTranscriber>();
    auto started = analyzer.start(
        locale,
        [weak, run](const SpeechAnalyzerResult& result) {
            const auto self = weak.lock();
            if (!self) return;
            if (auto update = updateFor(result, self->loop().uptime()))
                self->yield(std::move(*update), run);
        },
        [weak, run](const std::string& failure) {
            if (const auto self = weak.lock()) self->fail(failure, run);
        });
    if (auto* failure = std::get_if<std::string>(&started))
        return completion(TranscriptionStartResult::platformFailure(std::move(*failure)));

    telemetry.log("modern.arrancado");
    {
        std::lock_guard guard(lock_);
        analyzer_ = std::move(std::get<std::unique_ptr<SpeechAnalyzerRun>>(started));
    }
    attach(session);
    completion(TranscriptionStartResult::success(std::move(stream)));
}

void ModernTranscriber::end() {
    std::shared_ptr<SpeechAnalyzerRun> analyzer;
    {
        std::lock_guard guard(lock_);
        analyzer = std::exchange(analyzer_, nullptr);
    }
    // Its last results reach the stream before the stream finishes.
    if (analyzer) analyzer->finish();
    std::lock_guard guard(lock_);
    converter_.reset();
}

void ModernTranscriber::setScript(std::shared_ptr<const SpeechScript> script) {
    if (services_.analyzer) services_.analyzer->setScript(std::move(script));
}

std::optional<TranscriptionUpdate> ModernTranscriber::updateFor(const SpeechAnalyzerResult& result,
                                                                double receivedAt) {
    std::string text;
    std::vector<double> starts;
    for (const auto& run : result.runs) {
        text += run.text;
        if (run.audioStartSeconds) starts.push_back(*run.audioStartSeconds);
    }
    auto words = splitAtWhitespace(text);
    if (words.empty()) return std::nullopt;
    TranscriptionUpdate update;
    if (starts.size() == words.size()) update.timestamps = std::move(starts);
    update.words = std::move(words);
    update.isFinal = result.isFinal;
    update.receivedAt = receivedAt;
    return update;
}

void ModernTranscriber::fail(const std::string& failure, std::uint64_t run) {
    logger_.error(format("El flujo de resultados terminó: %s", failure.c_str()));
    // The analyser gave up: without a word to the owner the panel would go on saying it
    // listens.
    reportFailure(TranscriptionUnavailability::failed(failure), run);
}

std::uint32_t ModernTranscriber::outputCapacity(const AudioFormat& from, const AudioFormat& to,
                                                std::uint32_t frames) {
    if (from.sampleRate <= 0) return 0;
    const double ratio = to.sampleRate / from.sampleRate;
    return static_cast<std::uint32_t>(ratio * frames + 64);
}

void ModernTranscriber::append(const std::shared_ptr<const AudioBuffer>& buffer) {
    if (!buffer) return;
    std::shared_ptr<SpeechAnalyzerRun> analyzer;
    std::optional<AudioFormat> target;
    std::shared_ptr<AudioConverter> converter;
    {
        std::lock_guard guard(lock_);
        analyzer = analyzer_;
        target = analyzerFormat_;
        converter = converter_;
    }
    if (!analyzer) return;
    if (!target || buffer->format() == *target) return analyzer->append(buffer);
    if (!converter || !(converter->inputFormat() == buffer->format())) {
        converter =
            services_.makeConverter ? services_.makeConverter(buffer->format(), *target) : nullptr;
        std::lock_guard guard(lock_);
        converter_ = converter;
    }
    if (!converter) return;
    auto converted = converter->convert(
        *buffer, outputCapacity(buffer->format(), *target, buffer->frameLength()));
    if (converted && converted->frameLength() > 0) analyzer->append(converted);
}

}  // namespace vorela
