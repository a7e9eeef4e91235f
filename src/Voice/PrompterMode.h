#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vorela {

// Where the reading position comes from; stored by its raw value (the case name).
enum class PrompterMode { manual, classic, voiceActivated, wordTracking };

inline constexpr std::array<PrompterMode, 4> kAllPrompterModes = {
    PrompterMode::manual, PrompterMode::classic, PrompterMode::voiceActivated,
    PrompterMode::wordTracking};

std::string_view rawValue(PrompterMode mode);
std::optional<PrompterMode> fromRawValue(std::type_identity<PrompterMode>, std::string_view raw);
// "Manual", "Velocidad constante", "Activado por voz", "Sigue mi voz".
std::string localizedName(PrompterMode mode);
// The two voice modes capture the microphone.
bool usesMicrophone(PrompterMode mode);

}  // namespace vorela
