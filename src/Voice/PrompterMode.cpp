#include "Voice/PrompterMode.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string_view rawValue(PrompterMode mode) { return EnumCases::raw(kPrompterModeCases, mode); }

std::optional<PrompterMode> fromRawValue(std::type_identity<PrompterMode>, std::string_view raw) {
    return EnumCases::fromRaw(kPrompterModeCases, raw);
}

std::string localizedName(PrompterMode mode) {
    return Bundle::localized(EnumCases::name(kPrompterModeCases, mode));
}

bool usesMicrophone(PrompterMode mode) {
    return mode == PrompterMode::voiceActivated || mode == PrompterMode::wordTracking;
}

}  // namespace vorela
