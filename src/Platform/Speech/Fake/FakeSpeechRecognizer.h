#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "Platform/Speech/SpeechRecognizer.h"

namespace vorela {

// A recogniser layer a test steers: which languages exist, availability, on-device
// support, and every task's audio, results and errors. Results are delivered on the
// calling thread, as a recogniser thread would deliver them.
class FakeSpeechRecognizer final : public SpeechRecognizerProvider {
public:
    // One recognition task as the engine made it.
    struct Task {
        SpeechRecognitionRequestOptions options;
        std::vector<std::shared_ptr<const AudioBuffer>> audio;
        bool isAudioEnded = false;
        bool isFinished = false;
        bool isCancelled = false;
        SpeechRecognizer::ResultHandler handler;
    };

    FakeSpeechRecognizer();
    ~FakeSpeechRecognizer() override;
    FakeSpeechRecognizer(const FakeSpeechRecognizer&) = delete;
    FakeSpeechRecognizer& operator=(const FakeSpeechRecognizer&) = delete;
    FakeSpeechRecognizer(FakeSpeechRecognizer&&) = delete;
    FakeSpeechRecognizer& operator=(FakeSpeechRecognizer&&) = delete;

    std::shared_ptr<SpeechRecognizer> recognizer(const std::string& localeIdentifier) override;
    void setScript(std::shared_ptr<const SpeechScript> script) override;

    // --- test controls ---
    void setUnknownLocales(std::set<std::string> locales);
    void setAvailable(bool available);
    void setSupportsOnDevice(bool supports);
    // Runs on the engine's thread, without the fake's lock, as the engine finishes a task
    // (the recycle of a running one) or makes a new one: a test steps in there.
    enum class Step { taskFinished, taskMade };
    void setOnStep(std::function<void(Step)> onStep);
    // Answers through the handler of task `index` (0 = the first task made).
    void deliver(std::size_t index, std::vector<std::string> words, bool isFinal);
    void fail(std::size_t index, long code, std::string description);
    std::size_t taskCount() const;
    Task task(std::size_t index) const;
    std::shared_ptr<const SpeechScript> script() const;

private:
    class Recognizer;
    class Request;
    class RecognitionTask;
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace vorela
