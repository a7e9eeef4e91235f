#include "Platform/Capture/ScreenCapture.h"

namespace vorela {

std::string describe(ScreenCaptureError error) {
    switch (error) {
        case ScreenCaptureError::permissionDenied:
            return "Esta sesión no deja leer la pantalla: la verificación necesita un "
                   "escritorio X11.";
        case ScreenCaptureError::captureFailed:
            return "No se pudo capturar la pantalla.";
        case ScreenCaptureError::displayGone:
            return "La pantalla se desconectó durante la captura.";
    }
    return "No se pudo capturar la pantalla.";
}

}  // namespace vorela
