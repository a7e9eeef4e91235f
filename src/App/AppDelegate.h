#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/UrlComponents.h"
#include "Platform/Log/Log.h"

namespace vorela {

class AppState;
class PanelControlling;

// Text and commands that reach the application from outside: "prompter:" URLs and the
// "Leer en Vorela" entry that reads the selected text. It holds the state and the panel
// controller weakly; a step whose target is gone is skipped. Main thread only.
class AppDelegate {
public:
    AppDelegate() = default;
    AppDelegate(std::weak_ptr<AppState> appState, std::weak_ptr<PanelControlling> panel)
        : appState_(std::move(appState)), panelController_(std::move(panel)) {}

    // Handles the "prompter" URLs in order; other schemes and unreadable URLs are skipped.
    void open(const std::vector<std::string>& urls);
    // Loads the selected text as "Texto seleccionado" and shows the panel; without
    // usable text, loads nothing and returns "No había texto seleccionado.".
    std::optional<std::string> readInVorela(const std::optional<std::string>& selectedText);

private:
    void handle(const UrlComponents& url, const std::string& absoluteString);
    void read(const UrlComponents& url, const std::string& absoluteString);
    // Cleans the text; false, loading nothing, when nothing is left.
    bool load(std::string_view text, std::string title);

    Log logger_{"app"};
    std::weak_ptr<AppState> appState_;
    std::weak_ptr<PanelControlling> panelController_;
};

}  // namespace vorela
