#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "Platform/Defaults/EnumCases.h"

namespace vorela {

// Where the reading position comes from; stored by its raw value (the case name).
enum class PrompterMode { manual, classic, voiceActivated, wordTracking };

// The stored raw value and the display name of each case, in declared order.
inline constexpr std::array<EnumCase<PrompterMode>, 4> kPrompterModeCases = {{
    {PrompterMode::manual, "manual", "Manual"},
    {PrompterMode::classic, "classic", "Velocidad constante"},
    {PrompterMode::voiceActivated, "voiceActivated", "Activado por voz"},
    {PrompterMode::wordTracking, "wordTracking", "Sigue mi voz"},
}};
inline constexpr auto kAllPrompterModes = EnumCases::values(kPrompterModeCases);

std::string_view rawValue(PrompterMode mode);
std::optional<PrompterMode> fromRawValue(std::type_identity<PrompterMode>, std::string_view raw);
// "Manual", "Velocidad constante", "Activado por voz", "Sigue mi voz".
std::string localizedName(PrompterMode mode);
// The two voice modes capture the microphone.
bool usesMicrophone(PrompterMode mode);

}  // namespace vorela
