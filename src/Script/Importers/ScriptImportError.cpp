#include "Script/Importers/ScriptImportError.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string ScriptImportError::description() const {
    switch (kind_) {
        case Kind::unsupportedType:
            return Bundle::localized("No sé leer archivos .") + payload_ +
                   Bundle::localized(" todavía.");
        case Kind::unreadable:
            return payload_;
        case Kind::emptyContent:
            return Bundle::localized("El archivo no tiene texto que se pueda leer.");
        case Kind::tooLarge:
            if (payload_.empty())
                return Bundle::localized("El texto ocupa más de 50 MB; no se puede importar.");
            return Bundle::localized("El texto del archivo «") + payload_ +
                   Bundle::localized("» ocupa más de 50 MB; no se puede importar.");
    }
    return payload_;
}

}  // namespace vorela
