#include "Platform/LoginItem/LoginItem.h"

namespace vorela {

std::string LoginItemFailure::description() const {
    std::string text;
    switch (code) {
        case LoginItemError::noConfigFolder:
            text = "No se encontró la carpeta de configuración del usuario.";
            break;
        case LoginItemError::cannotWrite:
            text = "No se pudo crear la entrada de inicio automático.";
            break;
        case LoginItemError::cannotRemove:
            text = "No se pudo quitar la entrada de inicio automático.";
            break;
    }
    if (!detail.empty()) text += " (" + detail + ")";
    return text;
}

}  // namespace vorela
