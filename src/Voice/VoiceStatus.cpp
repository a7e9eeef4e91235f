#include "Voice/VoiceStatus.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string VoiceStatus::localizedName() const {
    switch (kind_) {
        case Kind::off:
            return {};
        case Kind::preparing:
            return Bundle::localized("Preparando el micrófono…");
        case Kind::ready:
            return Bundle::localized("Listo: empezá a leer");
        case Kind::searching:
            return Bundle::localized("Buscando dónde vas");
        case Kind::following:
            return Bundle::localized("Siguiendo tu voz");
        case Kind::lost:
            return Bundle::localized("Perdido");
        case Kind::problem:
            return message_;
    }
    return {};
}

VoiceStatus deriveVoiceStatus(const VoiceStatusInputs& in) {
    using Kind = VoiceStatus::Kind;
    if (!usesMicrophone(in.mode)) return VoiceStatus(Kind::off);
    if (in.transcriptionProblem) return VoiceStatus::problem(*in.transcriptionProblem);
    switch (in.audio.kind()) {
        case AudioSession::Status::Kind::idle:
            return VoiceStatus(Kind::preparing);
        case AudioSession::Status::Kind::denied:
            return VoiceStatus::problem(Bundle::localized("Falta el permiso de micrófono."));
        case AudioSession::Status::Kind::noInputDevice:
            return VoiceStatus::problem(Bundle::localized("No hay micrófono conectado."));
        case AudioSession::Status::Kind::failed:
            return VoiceStatus::problem(in.audio.message());
        case AudioSession::Status::Kind::running:
            break;
    }
    if (in.mode == PrompterMode::voiceActivated) {
        return VoiceStatus(in.isSpeaking ? Kind::following : Kind::ready);
    }
    if (!in.isTranscribing) return VoiceStatus(Kind::preparing);
    switch (in.matchState) {
        case MatchState::locked:
            return VoiceStatus(Kind::following);
        case MatchState::searching:
            return VoiceStatus(in.isSpeaking ? Kind::searching : Kind::ready);
        case MatchState::lost:
            return VoiceStatus(Kind::lost);
    }
    return VoiceStatus(Kind::preparing);
}

}  // namespace vorela
