#include "App/WindowScene.h"

#include <vector>

#include "Platform/Bundle/Bundle.h"

namespace vorela {
namespace {

const std::vector<WindowScene>& scenes() {
    static const std::vector<WindowScene> table{
        {WindowId::about, "about", Bundle::localized("Acerca de Vorela"), 380, std::nullopt, false},
        {WindowId::settings, "settings", Bundle::localized("Preferencias"), 700, 480, false},
        {WindowId::onboarding, "onboarding", Bundle::localized("Bienvenido a Vorela"), 720, 560,
         false},
        {WindowId::main, "main", Bundle::localized("Vorela"), 860, 560, true},
        {WindowId::voiceDebug, "voice-debug", Bundle::localized("Diagnóstico de voz"), 520, 420,
         false},
    };
    return table;
}

}  // namespace

const WindowScene& windowScene(WindowId id) { return scenes()[static_cast<std::size_t>(id)]; }

std::optional<WindowId> windowIdFrom(std::string_view identifier) {
    for (const auto& scene : scenes()) {
        if (scene.identifier == identifier) return scene.id;
    }
    return std::nullopt;
}

}  // namespace vorela
