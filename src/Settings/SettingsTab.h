#pragma once

#include <string_view>

namespace vorela {

// The settings window's tabs in the order they stand. A window holds the tabs it was
// given; the matcher tab only while asked for.
enum class SettingsTab { general, appearance, voice, shortcuts, discretion, matcher };

std::string_view tabLabel(SettingsTab tab);   // "General", "Apariencia", ...
std::string_view tabSymbol(SettingsTab tab);  // "gearshape", "textformat", ...
std::string_view tabObjectName(SettingsTab tab);

}  // namespace vorela
