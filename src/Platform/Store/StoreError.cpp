#include "Platform/Store/StoreError.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string StoreError::description() const {
    std::string text;
    switch (kind) {
        case Kind::cannotOpen:
            text = Bundle::localized("No se pudo crear ni abrir el archivo de la biblioteca");
            break;
        case Kind::notAFile:
            text = Bundle::localized("El archivo de la biblioteca no es un archivo común");
            break;
        case Kind::diskFull:
            text = Bundle::localized("No queda espacio en el disco para la biblioteca");
            break;
        case Kind::corrupt:
            text = Bundle::localized(
                "El archivo de la biblioteca está dañado o no es una base de datos");
            break;
        case Kind::readOnly:
            text = Bundle::localized("No se puede escribir en el archivo de la biblioteca");
            break;
        case Kind::busy:
            text = Bundle::localized("Otro programa tiene bloqueada la biblioteca");
            break;
        case Kind::incompatible:
            text = Bundle::localized("La biblioteca tiene un formato que esta versión no conoce");
            break;
        case Kind::failed:
            text = Bundle::localized("La base de datos de la biblioteca dio un error");
            break;
    }
    return detail.empty() ? text + "." : text + " (" + detail + ").";
}

}  // namespace vorela
