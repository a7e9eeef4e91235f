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
    }
    return payload_;
}

}  // namespace vorela
