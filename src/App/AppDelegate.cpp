#include "App/AppDelegate.h"

#include "App/AppState.h"
#include "App/PanelControlling.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Format.h"
#include "Script/Importers/ImportFile.h"
#include "Script/Importers/ScriptImporter.h"
#include "Script/Unicode.h"

namespace vorela {

void AppDelegate::open(const std::vector<std::string>& urls) {
    for (const auto& url : urls) {
        std::string whyRefused;
        const auto parts = UrlComponents::parse(url, &whyRefused);
        if (!parts) {
            // Not shown to the user, who may never have meant to follow the link; kept
            // where a puzzled user or a developer can find why it did nothing.
            logger_.debug("URL rechazada (" + whyRefused + "): " + url);
            continue;
        }
        if (parts->scheme != "prompter") continue;
        handle(*parts, url);
    }
}

void AppDelegate::handle(const UrlComponents& url, const std::string& absoluteString) {
    const std::string host = url.host.value_or("");
    if (url.host && host == "read") {
        read(url, absoluteString);
    } else if (url.host && host == "play") {
        if (auto state = appState_.lock()) state->play();
    } else if (url.host && host == "pause") {
        if (auto state = appState_.lock()) state->pause();
    } else {
        logger_.notice("URL no reconocida: " + absoluteString);
    }
}

void AppDelegate::read(const UrlComponents& url, const std::string& absoluteString) {
    const UrlQueryItem* text = url.firstItem("text");
    if (!text || !text->value || text->value->empty()) return;
    // The same bound as an imported file: a page cannot make us tokenise gigabytes.
    if (text->value->size() > ImportFile::kMaxImportFileSize) {
        logger_.error(format("Texto de URL rechazado: %zu bytes, el máximo es %ju",
                             text->value->size(), ImportFile::kMaxImportFileSize));
        return;
    }
    const UrlQueryItem* title = url.firstItem("title");
    std::string titleText =
        title && title->value ? *title->value : Bundle::localized("Guion recibido");
    if (!load(*text->value, std::move(titleText)))
        logger_.notice("URL sin texto que cargar: " + absoluteString);
}

std::optional<std::string> AppDelegate::readInVorela(const std::optional<std::string>& text) {
    if (text && load(*text, Bundle::localized("Texto seleccionado"))) return std::nullopt;
    return Bundle::localized("No había texto seleccionado.");
}

bool AppDelegate::load(std::string_view text, std::string title) {
    std::string cleaned = ScriptImporter::clean(text);
    if (unicode::trimWhitespaceAndNewlines(cleaned).empty()) return false;
    if (auto state = appState_.lock()) state->load(std::move(cleaned), std::move(title));
    if (auto panel = panelController_.lock()) panel->show();
    return true;
}

}  // namespace vorela
