#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Speech/SpeechScript.h"

namespace vorela {

// The older recogniser layer: one recogniser per language whose recognition tasks each
// take audio through a request and answer with growing partial results, then a final.

struct SpeechRecognitionResult {
    std::vector<std::string> segments;  // words of the best transcription, in order
    bool isFinal = false;
};

// A recogniser failure during a task; the code is the recogniser's own number.
struct SpeechRecognitionError {
    long code = 0;
    std::string localizedDescription;
};

struct SpeechRecognitionRequestOptions {
    bool shouldReportPartialResults = true;
    bool requiresOnDeviceRecognition = true;
    bool addsPunctuation = false;
    bool isDictation = true;  // the task hint

    bool operator==(const SpeechRecognitionRequestOptions&) const = default;
};

// Audio for one task. append() may be called from any thread; after endAudio() further
// audio is ignored.
class SpeechRecognitionRequest {
public:
    virtual ~SpeechRecognitionRequest() = default;
    virtual void append(const std::shared_ptr<const AudioBuffer>& buffer) = 0;
    virtual void endAudio() = 0;
};

// finish() lets the task deliver its last result; cancel() ends it without one.
class SpeechRecognitionTask {
public:
    virtual ~SpeechRecognitionTask() = default;
    virtual void finish() = 0;
    virtual void cancel() = 0;
};

// Results and errors arrive on the recogniser's own thread, never on the caller's.
class SpeechRecognizer {
public:
    using ResultHandler = std::function<void(const std::optional<SpeechRecognitionResult>&,
                                             const std::optional<SpeechRecognitionError>&)>;

    virtual ~SpeechRecognizer() = default;
    virtual bool isAvailable() const = 0;
    virtual bool supportsOnDeviceRecognition() const = 0;
    virtual std::shared_ptr<SpeechRecognitionRequest> makeRequest(
        const SpeechRecognitionRequestOptions& options) = 0;
    virtual std::shared_ptr<SpeechRecognitionTask> recognitionTask(
        const std::shared_ptr<SpeechRecognitionRequest>& request, ResultHandler handler) = 0;
};

// Makes recognisers; knows the loaded script. Any thread.
class SpeechRecognizerProvider {
public:
    virtual ~SpeechRecognizerProvider() = default;
    // Nothing for a language it does not know.
    virtual std::shared_ptr<SpeechRecognizer> recognizer(const std::string& localeIdentifier) = 0;
    virtual void setScript(std::shared_ptr<const SpeechScript> script) = 0;
};

}  // namespace vorela
