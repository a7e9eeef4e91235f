#include "App/VoiceCalibration.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "App/VoicePipeline.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Loop/RunLoop.h"
#include "Script/Tokenizer.h"
#include "Voice/SpeechScriptBuilder.h"
#include "Voice/VoiceActivityDetector.h"

namespace vorela {

namespace {

// The noise floor is a high percentile of the room's levels: occasional clicks above it
// must not open the detector, steady hum must stay below it.
constexpr double kNoiseFloorPercentile = 0.9;
// How long a running capture may take to deliver its first buffer. Some sources deliver
// nothing for a while after a start that succeeded (an idle sound server hands a monitor
// its audio in blocks of up to 2 s, a waking headset is silent at first); a listening
// window counted from the start would then measure nothing.
constexpr double kFirstBufferWaitSeconds = 5;
// Fewer words than this say nothing about recognition quality.
constexpr std::size_t kMinHeardWords = 4;

// Every word the recogniser settled on during the test, then the words of the utterance
// still under way. Each result repeats its whole utterance so far, so a final result
// ends one utterance and the next result starts another.
class HeardWords {
public:
    void add(const TranscriptionUpdate& update) {
        if (!update.isFinal) {
            pending_ = update.words;
            return;
        }
        committed_.insert(committed_.end(), update.words.begin(), update.words.end());
        pending_.clear();
    }
    std::vector<std::string> all() const {
        std::vector<std::string> words = committed_;
        words.insert(words.end(), pending_.begin(), pending_.end());
        return words;
    }

private:
    std::vector<std::string> committed_;
    std::vector<std::string> pending_;
};

}  // namespace

VoiceCalibration::VoiceCalibration(VoiceStateSink& state, VoicePipeline& pipeline, RunLoop& loop)
    : state_(state), pipeline_(pipeline), loop_(loop) {}

VoiceCalibration::~VoiceCalibration() {
    guard_.invalidate();
    // A recognition test cut short gives the engine the script back.
    pipeline_.expectInstead(nullptr);
}

const std::string& VoiceCalibration::calibrationPhrase() {
    static const std::string phrase = Bundle::localized(
        "Cerramos el trimestre con noventa y dos millones en ventas y un "
        "margen de treinta y cuatro por ciento.");
    return phrase;
}

std::uint64_t VoiceCalibration::sleep(double seconds, std::function<void()> then) {
    const std::uint64_t id = nextSleep_++;
    sleeps_[id] = loop_.schedule(seconds, guard_.bind([this, id, then = std::move(then)] {
        auto fired = sleeps_.extract(id);  // the handle goes once this task is done
        then();
    }));
    return id;
}

// --- noise floor ---

void VoiceCalibration::calibrateNoiseFloor(double durationSeconds, Completion completion) {
    pipeline_.audioSession().requestPermission(
        guard_.bind([this, durationSeconds, completion = std::move(completion)](bool granted) {
            if (!granted) return completion(std::nullopt);
            listen(durationSeconds, completion);
        }));
}

void VoiceCalibration::listen(double durationSeconds, Completion completion) {
    ++calibrations_;
    state_.publishCalibrating(true);
    pipeline_.holdAudio(guard_.bind([this, durationSeconds, completion = std::move(completion)] {
        AudioSession& session = pipeline_.audioSession();
        if (session.status().kind() != AudioSession::Status::Kind::running) {
            pipeline_.releaseAudio();
            endCalibrating();
            return completion(std::nullopt);
        }
        auto samples = std::make_shared<SampleCollector>();
        const Uuid consumer = Uuid::make();
        auto finish = [this, samples, consumer, completion] {
            finishListening(samples, consumer, completion);
        };
        // Nothing heard in time ends the listening with nothing measured.
        const std::uint64_t wait = sleep(kFirstBufferWaitSeconds, finish);
        auto heard = std::make_shared<std::atomic<bool>>(false);
        auto measure = makeCalibrationConsumer(samples);
        RunLoop& loop = loop_;
        session.consumers().add(
            [this, watch = guard_.watch(), wait, durationSeconds, finish, heard, measure, &loop](
                const std::shared_ptr<const AudioBuffer>& buffer, const AudioTime& time) {
                measure(buffer, time);
                if (!buffer || heard->exchange(true)) return;
                loop.post([this, watch, wait, durationSeconds, finish] {
                    // The wait is gone once it fired: the listening is already over.
                    if (!watch.isAlive() || sleeps_.erase(wait) == 0) return;
                    sleep(durationSeconds, finish);
                });
            },
            consumer);
    }));
}

void VoiceCalibration::finishListening(const std::shared_ptr<SampleCollector>& samples,
                                       const Uuid& consumer, const Completion& completion) {
    pipeline_.audioSession().consumers().remove(consumer);
    pipeline_.releaseAudio();
    const auto floor = samples->percentile(kNoiseFloorPercentile);
    if (!floor) {
        endCalibrating();
        return completion(std::nullopt);
    }
    VoiceProfile profile = state_.currentVoiceProfile();
    profile.noiseFloor = *floor;
    profile.calibratedAt = loop_.clock().now();
    profile.save();
    state_.publishVoiceProfile(profile);
    pipeline_.configureDetector(profile);
    endCalibrating();
    completion(floor);
}

void VoiceCalibration::endCalibrating() {
    if (--calibrations_ == 0) state_.publishCalibrating(false);
}

BufferConsumers::Consumer VoiceCalibration::makeCalibrationConsumer(
    std::shared_ptr<SampleCollector> samples) {
    return [samples = std::move(samples)](const std::shared_ptr<const AudioBuffer>& buffer,
                                          const AudioTime&) {
        if (!buffer) return;
        const double level = VoiceActivityDetector::decibels(*buffer);
        if (std::isfinite(level)) samples->append(level);
    };
}

// --- recognition test ---

void VoiceCalibration::measureRecognitionQuality(double durationSeconds, Completion completion) {
    const PrompterMode previous = state_.currentMode();
    const VoiceStateSink::ReadingPlace place = state_.readingPlace();
    const TranscriptionLocale locale = state_.currentTranscriptionLocale();
    pipeline_.expectInstead(SpeechScriptBuilder::make(
        Tokenizer(Tokenizer::languageFor(locale)).tokenize(calibrationPhrase()), locale));
    state_.changeMode(PrompterMode::wordTracking);
    state_.publishLiveTranscript({});
    auto heard = std::make_shared<HeardWords>();
    auto updates = std::make_shared<Subscription>(pipeline_.observeUpdates(
        [heard](const TranscriptionUpdate& update) { heard->add(update); }));
    sleep(durationSeconds,
          [this, previous, place, heard, updates, completion = std::move(completion)] {
              updates->cancel();
              const auto words = heard->all();
              pipeline_.expectInstead(nullptr);
              state_.changeMode(previous);
              // Tracking the phrase against the loaded script moved it; a reader who was
              // following it already is where the reading took them.
              if (previous != PrompterMode::wordTracking) state_.returnTo(place);
              finishReading(words, completion);
          });
}

void VoiceCalibration::finishReading(const std::vector<std::string>& heard,
                                     const Completion& completion) {
    if (heard.size() < kMinHeardWords) return completion(std::nullopt);
    const Tokenizer tokenizer(Tokenizer::languageFor(state_.currentTranscriptionLocale()));
    std::vector<std::string> expected;
    for (const auto& token : tokenizer.tokenize(calibrationPhrase()))
        expected.push_back(token.norm.str());
    std::vector<std::string> actual;
    for (const auto& word : heard) {
        if (auto norm = Tokenizer::normalize(word); !norm.empty())
            actual.push_back(std::move(norm));
    }
    const double wer = wordErrorRate(expected, actual);
    VoiceProfile profile = state_.currentVoiceProfile();
    profile.measuredWER = wer;
    profile.measuredWPM = state_.scriptMatcher().measuredWPM();
    profile.calibratedAt = loop_.clock().now();
    profile.save();
    state_.publishVoiceProfile(profile);
    state_.retuneMatcher(profile);
    completion(wer);
}

double VoiceCalibration::wordErrorRate(const std::vector<std::string>& expected,
                                       const std::vector<std::string>& actual) {
    const std::size_t n = expected.size();
    if (n == 0) return 0;
    const std::size_t m = actual.size();
    std::vector<std::size_t> previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j) previous[j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t substitution =
                previous[j - 1] + (expected[i - 1] == actual[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        std::swap(previous, current);
    }
    return std::min(static_cast<double>(previous[m]) / static_cast<double>(n), 1.0);
}

}  // namespace vorela
