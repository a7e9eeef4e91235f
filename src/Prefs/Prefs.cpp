#include "Prefs/Prefs.h"

#include "Platform/Log/Log.h"

namespace vorela::Prefs {

void logUnconvertibleValue(const std::string& name) {
    static const Log log("prefs");
    log.error("No se pudo convertir el valor de «" + name +
              "» para guardarlo; se conserva el valor guardado.");
}

void reset(const std::vector<std::reference_wrapper<const AnyKey>>& keys) {
    for (const AnyKey& key : keys) key.reset();
}

void reset(const std::vector<std::string>& names, UserDefaults& suite) {
    for (const auto& name : names) suite.remove(name);
}

void removeAll(UserDefaults& suite) { suite.removeAll(); }

bool isValidKeyPath(std::string_view name) {
    if (!name.empty() && name.front() == '@') return false;
    for (char c : name) {
        if (c == '.' || static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace vorela::Prefs
