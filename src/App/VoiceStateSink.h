#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Matcher/ScriptMatcher.h"
#include "Matcher/TranscriptionUpdate.h"
#include "Platform/Speech/TranscriptionLocale.h"
#include "Voice/PrompterMode.h"
#include "Voice/VoiceProfile.h"

namespace vorela {

// What the voice side (the pipeline, the calibration) may read and change of the central
// state, and nothing more: it publishes what the microphone and the recogniser report,
// and hands heard words to the matcher through the state, which alone moves the reading
// position. Main thread only; the state implements it and outlives its users.
class VoiceStateSink {
public:
    VoiceStateSink() = default;
    VoiceStateSink(const VoiceStateSink&) = delete;
    VoiceStateSink& operator=(const VoiceStateSink&) = delete;
    VoiceStateSink(VoiceStateSink&&) = delete;
    VoiceStateSink& operator=(VoiceStateSink&&) = delete;

    virtual PrompterMode currentMode() const = 0;
    virtual TranscriptionLocale currentTranscriptionLocale() const = 0;
    virtual const ScriptMatcher& scriptMatcher() const = 0;
    virtual std::size_t scriptTokenCount() const = 0;

    // The meter, level 0...1 first, then the flag.
    virtual void publishVoiceActivity(double level, bool isSpeaking) = 0;
    virtual void publishTranscriptionProblem(std::optional<std::string> problem) = 0;
    virtual void publishTranscriptionEngineName(std::string name) = 0;
    virtual void publishTranscribing(bool isTranscribing) = 0;
    virtual void publishLiveTranscript(std::vector<std::string> words) = 0;
    virtual void publishTranscriptionLatency(double seconds) = 0;
    // One result into the matcher at `now` (uptime, s): ingested, aligned when due, and
    // its outcome left for the next frame (none replaces a match not yet taken).
    virtual void matchHeard(const TranscriptionUpdate& update, double now) = 0;

    // --- for the calibration ---
    // The mode change with all its effects, as a user's choice has them.
    virtual void changeMode(PrompterMode mode) = 0;
    virtual const VoiceProfile& currentVoiceProfile() const = 0;
    // A profile already saved to the preferences becomes the state's.
    virtual void publishVoiceProfile(VoiceProfile profile) = 0;
    virtual void publishCalibrating(bool isCalibrating) = 0;
    // The matcher takes the start-up configuration tuned to this profile; live edits go.
    virtual void retuneMatcher(const VoiceProfile& profile) = 0;
    // Where the reader is in the loaded script, kept by a test that reads another text
    // and must not move the script: the word, the fractional word and the scroll target.
    struct ReadingPlace {
        long tokenIndex = 0;
        double wordPosition = 0;
        double scrollTargetY = 0;
    };
    virtual ReadingPlace readingPlace() const = 0;
    virtual void returnTo(const ReadingPlace& place) = 0;

protected:
    ~VoiceStateSink() = default;
};

}  // namespace vorela
