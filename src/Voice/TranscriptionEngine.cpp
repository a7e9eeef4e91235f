#include "Voice/TranscriptionEngine.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

namespace {
// The bundle's key keeps the placeholder; the identifier is put in after the lookup.
std::string localizedWithIdentifier(std::string_view key, const std::string& identifier) {
    std::string text = Bundle::localized(key);
    const std::string placeholder = "%@";
    if (auto at = text.find(placeholder); at != std::string::npos)
        text.replace(at, placeholder.size(), identifier);
    return text;
}
}  // namespace

TranscriptionUnavailability TranscriptionUnavailability::localeNotSupported(
    std::string identifier) {
    return {Kind::localeNotSupported, std::move(identifier)};
}
TranscriptionUnavailability TranscriptionUnavailability::modelNotInstalled(std::string identifier) {
    return {Kind::modelNotInstalled, std::move(identifier)};
}
TranscriptionUnavailability TranscriptionUnavailability::failed(std::string message) {
    return {Kind::failed, std::move(message)};
}
TranscriptionUnavailability TranscriptionUnavailability::permissionDenied() {
    return {Kind::permissionDenied, {}};
}
TranscriptionUnavailability TranscriptionUnavailability::recognizerUnavailable() {
    return {Kind::recognizerUnavailable, {}};
}

std::string TranscriptionUnavailability::localizedDescription() const {
    switch (kind_) {
        case Kind::localeNotSupported:
            return localizedWithIdentifier("El sistema no reconoce voz en %@ en este equipo.",
                                           payload_);
        case Kind::modelNotInstalled:
            return localizedWithIdentifier(
                "Falta descargar el modelo de dictado de %@. Se instala en la carpeta de modelos "
                "de "
                "Vorela (~/.local/share/app.vorela.Vorela/models), agregando el idioma.",
                payload_);
        case Kind::failed:
            return payload_;
        case Kind::permissionDenied:
            return Bundle::localized(
                "Falta el permiso de reconocimiento de voz. Se activa en la configuración de "
                "privacidad del sistema.");
        case Kind::recognizerUnavailable:
            return Bundle::localized("El reconocedor de voz no está disponible en este momento.");
    }
    return payload_;
}

std::optional<TranscriptionEngineError> TranscriptionStartResult::engineError() const {
    if (const auto* error = std::get_if<TranscriptionEngineError>(&value_)) return *error;
    return std::nullopt;
}

std::string TranscriptionStartResult::errorDescription() const {
    if (const auto* error = std::get_if<TranscriptionEngineError>(&value_))
        return error->localizedDescription();
    if (const auto* text = std::get_if<std::string>(&value_)) return *text;
    return {};
}

void TranscriptionEngineFactory::requestAuthorization(SpeechAuthorization& authorization,
                                                      std::function<void(bool)> completion) {
    authorization.requestAuthorization(
        [completion = std::move(completion)](SpeechAuthorizationStatus status) {
            completion(status == SpeechAuthorizationStatus::authorized);
        });
}

}  // namespace vorela
