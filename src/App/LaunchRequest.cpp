#include "App/LaunchRequest.h"

#include <algorithm>
#include <cctype>

#include "App/AppDelegate.h"
#include "App/AppScenes.h"
#include "Platform/Bundle/Bundle.h"
#include "Script/Script.h"

namespace vorela::LaunchRequest {
namespace {

bool isPrompterUrl(const std::string& argument) {
    constexpr std::string_view scheme = "prompter:";
    if (argument.size() < scheme.size()) return false;
    return std::equal(scheme.begin(), scheme.end(), argument.begin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

InstanceMessage fromArguments(const std::vector<std::string>& arguments,
                              const std::function<std::optional<std::string>()>& readSelection) {
    for (const auto& argument : arguments) {
        if (isPrompterUrl(argument)) return {InstanceMessage::Kind::openUrl, argument};
        if (argument == kReadSelectionArgument) {
            auto text = readSelection ? readSelection() : std::nullopt;
            return {InstanceMessage::Kind::readText, text.value_or("")};
        }
    }
    return {InstanceMessage::Kind::activate, {}};
}

std::optional<std::string> refusal(const InstanceMessage& message) {
    if (message.kind != InstanceMessage::Kind::readText) return std::nullopt;
    if (message.payload.size() <= Script::kMaxBodySize) return std::nullopt;
    return Bundle::localized("El texto seleccionado ocupa más de 50 MB; no se puede leer.");
}

std::optional<std::string> handle(const InstanceMessage& message, AppDelegate& delegate,
                                  AppScenes& scenes) {
    if (auto text = refusal(message)) return text;
    switch (message.kind) {
        case InstanceMessage::Kind::activate:
            // Starting the program again is how a user without a tray reaches it.
            scenes.openWindow(WindowId::main);
            return std::nullopt;
        case InstanceMessage::Kind::openUrl:
            delegate.open({message.payload});
            return std::nullopt;
        case InstanceMessage::Kind::readText:
            return delegate.readInVorela(message.payload);
    }
    return std::nullopt;
}

}  // namespace vorela::LaunchRequest
