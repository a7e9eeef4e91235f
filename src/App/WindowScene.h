#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vorela {

// The five windows the application opens by identifier; each exists at most once.
enum class WindowId { about, settings, onboarding, main, voiceDebug };

inline constexpr std::array<WindowId, 5> kAllWindowIds = {WindowId::about, WindowId::settings,
                                                          WindowId::onboarding, WindowId::main,
                                                          WindowId::voiceDebug};

// How a window is sized: by its content (fixed), or freely from a minimum.
struct WindowScene {
    WindowId id = WindowId::main;
    std::string_view identifier;  // "about", "settings", "onboarding", "main", "voice-debug"
    std::string title;
    double widthPoints = 0;
    std::optional<double> heightPoints;  // none: the content decides
    bool isResizable = false;            // true: the size is the minimum
};

const WindowScene& windowScene(WindowId id);
std::optional<WindowId> windowIdFrom(std::string_view identifier);

}  // namespace vorela
