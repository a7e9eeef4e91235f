#include "Voice/TranscriptionEngine.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Store/ModelStore.h"

namespace vorela {

namespace {
// The bundle's key keeps the placeholders; the values are put in, in order, after the
// lookup.
std::string localizedWith(std::string_view key, std::initializer_list<std::string> values) {
    std::string text = Bundle::localized(key);
    const std::string placeholder = "%@";
    std::size_t from = 0;
    for (const auto& value : values) {
        const auto at = text.find(placeholder, from);
        if (at == std::string::npos) break;
        text.replace(at, placeholder.size(), value);
        from = at + value.size();
    }
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
            return localizedWith("El sistema no reconoce voz en %@ en este equipo.", {payload_});
        case Kind::modelNotInstalled: {
            // Nothing is downloaded on Linux: the text names the folder a model goes in.
            const auto folder = (ModelStore::defaultLocation("models") / payload_).string() + "/";
            return localizedWith(
                "Falta el modelo de dictado de %@. Se instala copiando un modelo acústico de "
                "pocketsphinx en %@, o reinstalando Vorela.",
                {payload_, folder});
        }
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
