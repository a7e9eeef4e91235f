#include "Platform/Workspace/Workspace.h"

#include <cctype>

namespace vorela {

bool Workspace::isOpenable(std::string_view url) {
    const auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const std::string_view scheme = url.substr(0, colon);
    // A scheme starts with a letter, so the opener never takes the URL for an option.
    if (!std::isalpha(static_cast<unsigned char>(scheme.front()))) return false;
    for (const char c : scheme) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return scheme != "x-apple.systempreferences";
}

}  // namespace vorela
