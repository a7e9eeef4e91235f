#include "Platform/Ipc/HandOffError.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string HandOffError::description() const {
    switch (kind) {
        case Kind::unsafeFolder:
            return Bundle::localized(
                       "Vorela ya está abierto, pero no se le puede entregar el pedido: la "
                       "carpeta ") +
                   detail + ".";
        case Kind::notListening:
            return Bundle::localized(
                "Vorela ya está abierto, pero no atiende pedidos; este no se entregó.");
        case Kind::tooLarge:
            return Bundle::localized("El pedido ocupa más de 50 MB; no se entregó a Vorela.");
        case Kind::notConfirmed:
            return Bundle::localized(
                "Vorela ya está abierto, pero no confirmó haber recibido el pedido; puede que no "
                "le haya llegado.");
    }
    return {};
}

}  // namespace vorela
