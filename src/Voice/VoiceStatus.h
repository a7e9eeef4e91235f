#pragma once

#include <optional>
#include <string>

#include "Matcher/MatchState.h"
#include "Voice/AudioSession.h"
#include "Voice/PrompterMode.h"

namespace vorela {

// The voice indicator of the panel and the main window. Always derived from the state,
// never stored. Equal when the case and the message are equal.
class VoiceStatus {
public:
    enum class Kind { off, preparing, ready, searching, following, lost, problem };

    VoiceStatus() = default;
    explicit VoiceStatus(Kind kind) : kind_(kind) {}
    static VoiceStatus problem(std::string message) {
        return VoiceStatus(Kind::problem, std::move(message));
    }

    Kind kind() const { return kind_; }
    // The problem's text; empty for the other cases.
    const std::string& message() const { return message_; }
    // The text shown: empty for off, the message itself for a problem.
    std::string localizedName() const;

    bool operator==(const VoiceStatus&) const = default;

private:
    VoiceStatus(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

    Kind kind_ = Kind::off;
    std::string message_;
};

// What the indicator is made of.
struct VoiceStatusInputs {
    PrompterMode mode = PrompterMode::manual;
    std::optional<std::string> transcriptionProblem;
    AudioSession::Status audio = AudioSession::Status::idle();
    bool isTranscribing = false;
    bool isSpeaking = false;
    MatchState matchState = MatchState::searching;
};

// The indicator's rules, in order: not a voice mode, a transcription problem, the audio
// session's status, then the mode with the speaking flag and the matcher's state.
VoiceStatus deriveVoiceStatus(const VoiceStatusInputs& inputs);

}  // namespace vorela
