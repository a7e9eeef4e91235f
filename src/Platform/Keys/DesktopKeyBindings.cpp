#include "Platform/Keys/DesktopKeyBindings.h"

#include <expat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace vorela {
namespace {

// A configuration file of a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxConfigBytes = 4 * 1024 * 1024;

constexpr std::uint32_t kCarbonCommand = 0x100;
constexpr std::uint32_t kCarbonShift = 0x200;
constexpr std::uint32_t kCarbonOption = 0x800;
constexpr std::uint32_t kCarbonControl = 0x1000;

// "W-S-e" -> Super+Shift with the keysym "e".
std::optional<DesktopKeyBinding> parseCombination(std::string_view combination) {
    DesktopKeyBinding binding;
    while (true) {
        const auto dash = combination.find('-');
        // A trailing "-" is the minus key itself ("C--").
        if (dash == std::string_view::npos || dash + 1 == combination.size()) break;
        const std::string_view modifier = combination.substr(0, dash);
        if (modifier == "S") {
            binding.carbonModifiers |= kCarbonShift;
        } else if (modifier == "C") {
            binding.carbonModifiers |= kCarbonControl;
        } else if (modifier == "A" || modifier == "Mod1") {
            binding.carbonModifiers |= kCarbonOption;
        } else if (modifier == "W" || modifier == "Mod4") {
            binding.carbonModifiers |= kCarbonCommand;
        } else {
            return std::nullopt;
        }
        combination.remove_prefix(dash + 1);
    }
    if (combination.empty()) return std::nullopt;
    binding.keysymName = std::string(combination);
    return binding;
}

struct Parser {
    std::vector<DesktopKeyBinding> bindings;
    int keyboardDepth = 0;
    bool isRefused = false;

    static void onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
        auto& self = *static_cast<Parser*>(data);
        const std::string_view element(name);
        if (element == "keyboard") ++self.keyboardDepth;
        if (element != "keybind" || self.keyboardDepth == 0) return;
        for (int i = 0; attributes[i]; i += 2) {
            if (std::string_view(attributes[i]) != "key") continue;
            std::string_view key(attributes[i + 1]);
            key = key.substr(0, key.find(' '));
            if (auto binding = parseCombination(key)) self.bindings.push_back(std::move(*binding));
        }
    }
    static void onEnd(void* data, const XML_Char* name) {
        auto& self = *static_cast<Parser*>(data);
        if (std::string_view(name) == "keyboard" && self.keyboardDepth > 0) --self.keyboardDepth;
    }
    static void onEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int,
                             const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
        static_cast<Parser*>(data)->isRefused = true;
    }
};

}  // namespace

std::vector<DesktopKeyBinding> parseOpenboxKeyBindings(std::string_view xml) {
    if (xml.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    Parser parser;
    XML_Parser expat = XML_ParserCreate("UTF-8");
    if (!expat) return {};
    XML_SetUserData(expat, &parser);
    XML_SetElementHandler(expat, &Parser::onStart, &Parser::onEnd);
    XML_SetEntityDeclHandler(expat, &Parser::onEntityDecl);
    XML_SetParamEntityParsing(expat, XML_PARAM_ENTITY_PARSING_NEVER);
    // A document cut short keeps the bindings read before the damage.
    XML_Parse(expat, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
    XML_ParserFree(expat);
    if (parser.isRefused) return {};
    return std::move(parser.bindings);
}

std::optional<std::string> openboxConfigPath() {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    if (const char* home = std::getenv("XDG_CONFIG_HOME"); home && *home) {
        candidates.emplace_back(home);
    } else if (const char* user = std::getenv("HOME"); user && *user) {
        candidates.push_back(fs::path(user) / ".config");
    }
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::stringstream list(dirs && *dirs ? dirs : "/etc/xdg");
    for (std::string dir; std::getline(list, dir, ':');) {
        if (!dir.empty()) candidates.emplace_back(dir);
    }
    for (const auto& dir : candidates) {
        const fs::path file = dir / "openbox" / "rc.xml";
        std::error_code error;
        if (fs::is_regular_file(file, error)) return file.string();
    }
    return std::nullopt;
}

std::vector<DesktopKeyBinding> readOpenboxKeyBindings() {
    const auto path = openboxConfigPath();
    return path ? readOpenboxKeyBindings(*path) : std::vector<DesktopKeyBinding>{};
}

std::vector<DesktopKeyBinding> readOpenboxKeyBindings(const std::string& path) {
    std::error_code error;
    if (std::filesystem::file_size(path, error) > kMaxConfigBytes || error) return {};
    std::ifstream file(path, std::ios::binary);
    const std::string xml((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return parseOpenboxKeyBindings(xml);
}

}  // namespace vorela
