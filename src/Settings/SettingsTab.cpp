#include "Settings/SettingsTab.h"

namespace vorela {

std::string_view tabLabel(SettingsTab tab) {
    switch (tab) {
        case SettingsTab::general:
            return "General";
        case SettingsTab::appearance:
            return "Apariencia";
        case SettingsTab::voice:
            return "Voz";
        case SettingsTab::shortcuts:
            return "Atajos";
        case SettingsTab::discretion:
            return "Discreción";
        case SettingsTab::matcher:
            return "Matcher";
    }
    return {};
}

std::string_view tabSymbol(SettingsTab tab) {
    switch (tab) {
        case SettingsTab::general:
            return "gearshape";
        case SettingsTab::appearance:
            return "textformat";
        case SettingsTab::voice:
            return "waveform";
        case SettingsTab::shortcuts:
            return "command";
        case SettingsTab::discretion:
            return "eye.slash";
        case SettingsTab::matcher:
            return "ladybug";
    }
    return {};
}

std::string_view tabObjectName(SettingsTab tab) {
    switch (tab) {
        case SettingsTab::general:
            return "generalTab";
        case SettingsTab::appearance:
            return "appearanceTab";
        case SettingsTab::voice:
            return "voiceTab";
        case SettingsTab::shortcuts:
            return "shortcutsTab";
        case SettingsTab::discretion:
            return "discretionTab";
        case SettingsTab::matcher:
            return "matcherTab";
    }
    return {};
}

}  // namespace vorela
