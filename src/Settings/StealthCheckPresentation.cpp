#include "Settings/StealthCheckPresentation.h"

#include "Platform/Foundation/Format.h"

namespace vorela {

StealthCheckPresentation StealthCheckPresentation::make(const Inputs& in) {
    using Kind = StealthChecker::Status::Kind;
    StealthCheckPresentation p;
    const bool running = in.status.isRunning();
    p.buttonTitle = running ? "Verificando…" : "Verificar discreción";
    p.isButtonEnabled = !running && in.isPanelVisible;
    p.showsPanelHint = !in.isPanelVisible;
    switch (in.status.kind) {
        case Kind::preparing:
        case Kind::capturing:
            p.outcome = Outcome::progress;
            break;
        case Kind::done: {
            if (!in.status.result) break;
            const StealthResult& r = *in.status.result;
            p.outcome = Outcome::done;
            p.isVisible = r.isVisible;
            p.title = r.isVisible ? "Tu prompter SÍ aparece al compartir la pantalla completa"
                                  : "Tu prompter no aparece en capturas de pantalla completa";
            p.detail =
                format("Medido en Linux %s el %s · patrón detectado: %.1f%%", r.osVersion.c_str(),
                       in.formatDate(r.checkedAt).c_str(), r.patternMatch * 100);
            if (r.isVisible) {
                p.advice =
                    "Compartí una ventana en vez de la pantalla completa, o presentá desde un "
                    "monitor externo.";
            }
            break;
        }
        case Kind::failed:
            p.outcome = Outcome::failed;
            p.title = in.status.message;
            // A link that can grant nothing would send the user on a useless errand.
            p.showsPermissionsAction = in.hasCapturePermission;
            break;
        case Kind::idle:
            if (!in.stored) break;
            p.outcome = Outcome::stored;
            p.isStale = in.isResultStale;
            p.storedLine =
                in.isResultStale
                    ? "Tu sistema se actualizó desde la última verificación. Conviene repetirla."
                    : format("Última verificación: %s en Linux %s",
                             in.stored->isVisible ? "aparecía" : "no aparecía",
                             in.stored->osVersion.c_str());
            break;
    }
    return p;
}

}  // namespace vorela
