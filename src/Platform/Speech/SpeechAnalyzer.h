#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Audio/AudioFormat.h"
#include "Platform/Speech/SpeechScript.h"

namespace vorela {

// The newer analyser layer: a transcriber per language, a model inventory that says what
// is on this machine, and analyser runs fed with audio in the analyser's format.

// One stretch of a result's text; timed runs carry where their audio starts.
struct SpeechTextRun {
    std::string text;
    std::optional<double> audioStartSeconds;

    bool operator==(const SpeechTextRun&) const = default;
};

// A volatile result repeats the whole current utterance; a final one closes it.
struct SpeechAnalyzerResult {
    std::vector<SpeechTextRun> runs;
    bool isFinal = false;

    bool operator==(const SpeechAnalyzerResult&) const = default;
};

enum class SpeechAssetStatus { unsupported, supported, downloading, installed };

// One analyser with its input sequence. append() is called from one thread at a time
// (the audio tap's); results and failures arrive on the analyser's own thread. After
// finish() returns, the run has decoded its input to the end and no callback runs.
class SpeechAnalyzerRun {
public:
    virtual ~SpeechAnalyzerRun() = default;
    virtual void append(const std::shared_ptr<const AudioBuffer>& buffer) = 0;
    virtual void finish() = 0;
};

// The platform's transcriber and its model inventory. Any thread.
class SpeechAnalyzerService {
public:
    using ResultHandler = std::function<void(const SpeechAnalyzerResult&)>;
    // The results ended with this failure text; no result follows.
    using FailureHandler = std::function<void(const std::string&)>;
    // A run, or the text of why the analyser did not start.
    using StartResult = std::variant<std::unique_ptr<SpeechAnalyzerRun>, std::string>;

    virtual ~SpeechAnalyzerService() = default;

    virtual bool isAvailable() const = 0;
    // The equivalent language the transcriber has, if any ("es-MX" for "es-419").
    virtual std::optional<std::string> supportedLocale(const std::string& localeIdentifier) = 0;
    virtual SpeechAssetStatus assetStatus(const std::string& localeIdentifier) = 0;
    // Makes the model usable; the failure text otherwise. Nothing is downloaded: an
    // installation reports what is on disk.
    virtual std::optional<std::string> installAsset(const std::string& localeIdentifier) = 0;
    // The audio format the analyser prefers; nothing when any format does.
    virtual std::optional<AudioFormat> bestAudioFormat() = 0;
    virtual StartResult start(const std::string& localeIdentifier, ResultHandler onResult,
                              FailureHandler onFailure) = 0;
    // The loaded script: the next results expect its words. Takes effect during a run
    // without losing audio.
    virtual void setScript(std::shared_ptr<const SpeechScript> script) = 0;
};

}  // namespace vorela
