#include "Platform/Foundation/SystemVersion.h"

#include <sys/utsname.h>

#include <cctype>

namespace vorela {

std::string systemVersionText(std::string_view release) {
    std::string parts[3] = {"0", "0", "0"};
    std::size_t at = 0;
    for (int part = 0; part < 3; ++part) {
        std::size_t end = at;
        while (end < release.size() && std::isdigit(static_cast<unsigned char>(release[end])))
            ++end;
        if (end == at) break;
        // Leading zeros would make two equal versions read differently.
        const auto digits = release.substr(at, end - at);
        const auto first = digits.find_first_not_of('0');
        parts[part] = first == std::string_view::npos ? "0" : std::string(digits.substr(first));
        if (end >= release.size() || release[end] != '.') break;
        at = end + 1;
    }
    return parts[0] + "." + parts[1] + "." + parts[2];
}

std::string currentSystemVersion() {
    utsname name{};
    if (uname(&name) != 0) return systemVersionText("");
    return systemVersionText(name.release);
}

}  // namespace vorela
