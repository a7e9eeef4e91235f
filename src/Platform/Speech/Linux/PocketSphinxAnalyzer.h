#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Log/Log.h"
#include "Platform/Speech/Linux/DecoderProtocol.h"
#include "Platform/Speech/Linux/DecoderRestarts.h"
#include "Platform/Speech/Linux/LoadRequestBuilder.h"
#include "Platform/Speech/PocketSphinx/HypothesisStabilizer.h"
#include "Platform/Speech/PocketSphinx/SpeechModelLocator.h"
#include "Platform/Speech/SpeechAnalyzer.h"

namespace vorela {

class DecoderProcess;

// The analyser layer on pocketsphinx. One decoder process lives as long as this object,
// across runs, so its normalisation to the microphone does not start over; a worker
// thread builds the script's model and writes audio to it, results come back on the
// process's reader thread. A decoder that dies is restarted with the same model, the
// utterance it was in closed with its last words as a final result; one that keeps dying
// soon after its start is restarted later each time and finally given up, and a model the
// decoder cannot load is not retried: both fail the run until the next start().
// Always owned by a shared_ptr: its runs hold it weakly, so a run that outlives it is inert.
class PocketSphinxAnalyzer final : public SpeechAnalyzerService,
                                   public std::enable_shared_from_this<PocketSphinxAnalyzer> {
public:
    // How long finish() waits for the decoder to reach the end of its input.
    static constexpr double kFinishSeconds = 3;

    // Share of the off-script phone loop: it keeps ad-libs out of the script's words; on
    // real readers a larger share costs accuracy.
    static constexpr double kDefaultGarbageWeight = 0.8;

    struct Config {
        std::filesystem::path decoderProgram;
        SpeechModelLocator locator;
        // The user's text for a language without a model on disk.
        std::function<std::string(const std::string& locale)> missingModelText;
        double garbageWeight = kDefaultGarbageWeight;
        // Decoder options: wide beams; language weight and word insertion as measured on
        // real readers.
        std::string decoderOptions =
            "-beam 1e-60 -wbeam 1e-40 -pbeam 1e-60 -lw 10 -wip 3 -remove_noise no";
        // How long the decoder's words must stand before they are passed on.
        HypothesisStabilizer::Timing stabilizing{};
    };
    // Audio seconds the decoder has consumed, and the seconds it spent on the last block.
    using ProgressObserver = std::function<void(double audioSeconds, double busySeconds)>;

    explicit PocketSphinxAnalyzer(Config config);
    ~PocketSphinxAnalyzer() override;
    PocketSphinxAnalyzer(const PocketSphinxAnalyzer&) = delete;
    PocketSphinxAnalyzer& operator=(const PocketSphinxAnalyzer&) = delete;
    PocketSphinxAnalyzer(PocketSphinxAnalyzer&&) = delete;
    PocketSphinxAnalyzer& operator=(PocketSphinxAnalyzer&&) = delete;

    bool isAvailable() const override;
    std::optional<std::string> supportedLocale(const std::string& localeIdentifier) override;
    SpeechAssetStatus assetStatus(const std::string& localeIdentifier) override;
    std::optional<std::string> installAsset(const std::string& localeIdentifier) override;
    std::optional<AudioFormat> bestAudioFormat() override {
        return AudioFormat{decoder::kSampleRate, 1};
    }
    StartResult start(const std::string& localeIdentifier, ResultHandler onResult,
                      FailureHandler onFailure) override;
    void setScript(std::shared_ptr<const SpeechScript> script) override;

    // Runs on the reader thread; for measuring tools.
    void setProgressObserver(ProgressObserver observer);
    // Blocks until the decoder has consumed every sample appended so far (false after
    // `timeoutSeconds`); for replay tools that must not run ahead of the decoder.
    bool waitUntilDecoded(double timeoutSeconds);
    // Why the decoder refused the last model it was given (options it does not accept, a
    // model it cannot read); nothing once a start() tries again. Audio is dropped meanwhile.
    std::optional<std::string> modelFailure() const;
    // The peak resident memory of the decoder processes so far, from the kernel's own
    // count for each child (not the rusage of children, which counts the parent's memory
    // at the spawn); nothing before a decoder has run.
    std::optional<std::uint64_t> decoderPeakMemoryKB() const;
    // Makes the decoder process abort, as the library does on an internal assertion.
    void abortDecoderForTesting();
    int decoderStarts() const;

private:
    class Run;
    // A run's callbacks; the fields below them are guarded by mutex_.
    struct Handlers {
        ResultHandler onResult;
        FailureHandler onFailure;
        int inFlight = 0;  // callbacks running now
        std::thread::id caller;
    };
    struct Job {
        enum class Kind { audio, finalize, abort } kind = Kind::audio;
        std::vector<std::int16_t> samples;
        std::uint64_t ticket = 0;  // of a finalize
    };
    using Clock = DecoderRestarts::Clock;

    void enqueue(Job job);
    // Ends a run: its input decoded (within kFinishSeconds), then its callbacks detached.
    void finishRun(const std::shared_ptr<Handlers>& handlers, bool decodesToTheEnd);
    void work();
    void startProcess();
    void send(Job job);
    void load(const std::string& locale, const std::shared_ptr<const SpeechScript>& script);
    void received(std::uint64_t generation, const decoder::Message& message);
    void exited(std::uint64_t generation);
    void failed(std::uint64_t generation, const std::string& message);
    // Under mutex_: what waits for the decoder is let go, as no decoder will answer.
    void dropWaitingInput();
    void retireProcess();
    void deliver(const SpeechAnalyzerResult& result);
    void reportFailure(const std::string& text);
    void callHandlers(const std::function<void(Handlers&)>& call);

    Config config_;
    Log logger_{"speech"};
    LoadRequestBuilder loadRequests_;  // worker thread only

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    std::shared_ptr<const SpeechScript> script_;
    std::string locale_;  // of the current or last run
    bool needsLoad_ = false;
    bool isStopping_ = false;
    bool isProcessGone_ = false;    // the current decoder process ended
    DecoderRestarts restarts_;      // given up: until the next start()
    std::uint64_t generation_ = 0;  // of the current decoder process
    int decoderStarts_ = 0;
    std::shared_ptr<Handlers> handlers_;
    HypothesisStabilizer stabilizer_;
    std::condition_variable decoded_;  // progress, finalizes done, callbacks ended
    std::uint64_t finalizeTickets_ = 0;
    std::deque<std::uint64_t> finalizesSent_;  // to the current decoder, not yet done
    std::uint64_t finalizedThrough_ = 0;
    unsigned long long samplesQueued_ = 0;    // since the current decoder started
    unsigned long long samplesConsumed_ = 0;  // as the decoder last reported
    std::optional<std::string> modelFailure_;
    int decoderPid_ = -1;                    // of the current decoder process
    std::uint64_t retiredPeakMemoryKB_ = 0;  // the largest of the decoders that ended
    ProgressObserver progress_;
    std::unique_ptr<DecoderProcess> process_;  // worker thread only
    std::thread worker_;
};

}  // namespace vorela
