#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Platform/Speech/SpeechAnalyzer.h"

namespace vorela {

// An analyser layer a test steers: languages, model statuses and installs, the preferred
// format, start failures, and each run's audio, results and failures. Results are
// delivered on the calling thread, as the analyser's thread would deliver them.
class FakeSpeechAnalyzer final : public SpeechAnalyzerService {
public:
    struct Run {
        std::string locale;
        std::vector<std::shared_ptr<const AudioBuffer>> audio;
        bool isFinished = false;
        ResultHandler onResult;
        FailureHandler onFailure;
    };

    FakeSpeechAnalyzer();

    bool isAvailable() const override;
    std::optional<std::string> supportedLocale(const std::string& localeIdentifier) override;
    SpeechAssetStatus assetStatus(const std::string& localeIdentifier) override;
    std::optional<std::string> installAsset(const std::string& localeIdentifier) override;
    std::optional<AudioFormat> bestAudioFormat() override;
    StartResult start(const std::string& localeIdentifier, ResultHandler onResult,
                      FailureHandler onFailure) override;
    void setScript(std::shared_ptr<const SpeechScript> script) override;

    // --- test controls ---
    void setAvailable(bool available);
    // Languages without an equivalent; the others map to themselves unless aliased.
    void setUnsupportedLocales(std::set<std::string> locales);
    void aliasLocale(std::string requested, std::string resolved);
    void setAssetStatus(std::string locale, SpeechAssetStatus status);
    // The next install fails with this text; a successful install marks the model installed.
    void failInstall(std::string text);
    void setBestAudioFormat(std::optional<AudioFormat> format);
    void failNextStart(std::string text);
    // Through the newest run's handlers.
    void emit(SpeechAnalyzerResult result);
    void failResults(std::string text);

    std::size_t runCount() const;
    Run run(std::size_t index) const;
    int installCount() const;
    std::shared_ptr<const SpeechScript> script() const;

private:
    class AnalyzerRun;
    struct State {
        mutable std::mutex mutex;
        std::vector<std::shared_ptr<Run>> runs;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
    bool isAvailable_ = true;
    std::set<std::string> unsupported_;
    std::map<std::string, std::string> aliases_;
    std::map<std::string, SpeechAssetStatus> statuses_;
    std::optional<std::string> installFailure_;
    std::optional<AudioFormat> format_ = AudioFormat{16000, 1};
    std::optional<std::string> startFailure_;
    int installCount_ = 0;
    std::shared_ptr<const SpeechScript> script_;
};

}  // namespace vorela
