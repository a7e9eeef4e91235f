#include "Platform/Speech/Fake/FakeSpeechAnalyzer.h"

#include <utility>

namespace vorela {

class FakeSpeechAnalyzer::AnalyzerRun final : public SpeechAnalyzerRun {
public:
    AnalyzerRun(std::shared_ptr<State> state, std::shared_ptr<Run> run)
        : state_(std::move(state)), run_(std::move(run)) {}
    void append(const std::shared_ptr<const AudioBuffer>& buffer) override {
        std::lock_guard guard(state_->mutex);
        if (!run_->isFinished) run_->audio.push_back(buffer);
    }
    void finish() override {
        std::lock_guard guard(state_->mutex);
        run_->isFinished = true;
    }

private:
    std::shared_ptr<State> state_;
    std::shared_ptr<Run> run_;
};

FakeSpeechAnalyzer::FakeSpeechAnalyzer() = default;

bool FakeSpeechAnalyzer::isAvailable() const { return isAvailable_; }

std::optional<std::string> FakeSpeechAnalyzer::supportedLocale(const std::string& locale) {
    if (unsupported_.count(locale)) return std::nullopt;
    if (const auto alias = aliases_.find(locale); alias != aliases_.end()) return alias->second;
    return locale;
}

SpeechAssetStatus FakeSpeechAnalyzer::assetStatus(const std::string& locale) {
    const auto found = statuses_.find(locale);
    return found == statuses_.end() ? SpeechAssetStatus::installed : found->second;
}

std::optional<std::string> FakeSpeechAnalyzer::installAsset(const std::string& locale) {
    ++installCount_;
    if (installFailure_) return std::exchange(installFailure_, std::nullopt);
    statuses_[locale] = SpeechAssetStatus::installed;
    return std::nullopt;
}

std::optional<AudioFormat> FakeSpeechAnalyzer::bestAudioFormat() { return format_; }

SpeechAnalyzerService::StartResult FakeSpeechAnalyzer::start(const std::string& locale,
                                                             ResultHandler onResult,
                                                             FailureHandler onFailure) {
    if (startFailure_) return *std::exchange(startFailure_, std::nullopt);
    auto run = std::make_shared<Run>();
    run->locale = locale;
    run->onResult = std::move(onResult);
    run->onFailure = std::move(onFailure);
    {
        std::lock_guard guard(state_->mutex);
        state_->runs.push_back(run);
    }
    return std::make_unique<AnalyzerRun>(state_, std::move(run));
}

void FakeSpeechAnalyzer::setScript(std::shared_ptr<const SpeechScript> script) {
    script_ = std::move(script);
}

void FakeSpeechAnalyzer::setAvailable(bool available) { isAvailable_ = available; }
void FakeSpeechAnalyzer::setUnsupportedLocales(std::set<std::string> locales) {
    unsupported_ = std::move(locales);
}
void FakeSpeechAnalyzer::aliasLocale(std::string requested, std::string resolved) {
    aliases_[std::move(requested)] = std::move(resolved);
}
void FakeSpeechAnalyzer::setAssetStatus(std::string locale, SpeechAssetStatus status) {
    statuses_[std::move(locale)] = status;
}
void FakeSpeechAnalyzer::failInstall(std::string text) { installFailure_ = std::move(text); }
void FakeSpeechAnalyzer::setBestAudioFormat(std::optional<AudioFormat> format) { format_ = format; }
void FakeSpeechAnalyzer::failNextStart(std::string text) { startFailure_ = std::move(text); }

void FakeSpeechAnalyzer::emit(SpeechAnalyzerResult result) {
    ResultHandler handler;
    {
        std::lock_guard guard(state_->mutex);
        if (state_->runs.empty()) return;
        handler = state_->runs.back()->onResult;
    }
    handler(result);
}

void FakeSpeechAnalyzer::failResults(std::string text) {
    FailureHandler handler;
    {
        std::lock_guard guard(state_->mutex);
        if (state_->runs.empty()) return;
        handler = state_->runs.back()->onFailure;
    }
    handler(text);
}

std::size_t FakeSpeechAnalyzer::runCount() const {
    std::lock_guard guard(state_->mutex);
    return state_->runs.size();
}

FakeSpeechAnalyzer::Run FakeSpeechAnalyzer::run(std::size_t index) const {
    std::lock_guard guard(state_->mutex);
    return *state_->runs.at(index);
}

int FakeSpeechAnalyzer::installCount() const { return installCount_; }

std::shared_ptr<const SpeechScript> FakeSpeechAnalyzer::script() const { return script_; }

}  // namespace vorela
