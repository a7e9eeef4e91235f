#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Ipc/SingleInstance.h"

namespace vorela {

class AppDelegate;
class AppScenes;

// What a start of the program asks for, from its arguments: a "prompter:" URL (the
// desktop opens scheme links with the URL as the argument), the selected text (the
// "Leer en Vorela" desktop action), or plainly to be brought forward.
namespace LaunchRequest {

inline constexpr const char* kReadSelectionArgument = "--read-selection";

// The first "prompter:" URL or the selection flag decides; other arguments are ignored.
// `readSelection` is asked only for the selection flag.
InstanceMessage fromArguments(const std::vector<std::string>& arguments,
                              const std::function<std::optional<std::string>()>& readSelection);

// The text for the user when the running instance would refuse the request whatever it
// holds (a selection over a script's largest size), so a later start need not send it.
std::optional<std::string> refusal(const InstanceMessage& message);

// Runs a request in the running instance. Returns a text for the user when the request
// could not be served ("No había texto seleccionado.").
std::optional<std::string> handle(const InstanceMessage& message, AppDelegate& delegate,
                                  AppScenes& scenes);

}  // namespace LaunchRequest
}  // namespace vorela
