#include "Voice/PrompterMode.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string_view rawValue(PrompterMode mode) {
    switch (mode) {
        case PrompterMode::manual:
            return "manual";
        case PrompterMode::classic:
            return "classic";
        case PrompterMode::voiceActivated:
            return "voiceActivated";
        case PrompterMode::wordTracking:
            return "wordTracking";
    }
    return "manual";
}

std::optional<PrompterMode> fromRawValue(std::type_identity<PrompterMode>, std::string_view raw) {
    for (auto mode : kAllPrompterModes) {
        if (rawValue(mode) == raw) return mode;
    }
    return std::nullopt;
}

std::string localizedName(PrompterMode mode) {
    switch (mode) {
        case PrompterMode::manual:
            return Bundle::localized("Manual");
        case PrompterMode::classic:
            return Bundle::localized("Velocidad constante");
        case PrompterMode::voiceActivated:
            return Bundle::localized("Activado por voz");
        case PrompterMode::wordTracking:
            return Bundle::localized("Sigue mi voz");
    }
    return {};
}

bool usesMicrophone(PrompterMode mode) {
    return mode == PrompterMode::voiceActivated || mode == PrompterMode::wordTracking;
}

}  // namespace vorela
