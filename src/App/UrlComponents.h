#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorela {

// One query item: "name=value" has a value (perhaps empty), a bare "name" has none.
struct UrlQueryItem {
    std::string name;
    std::optional<std::string> value;
    bool operator==(const UrlQueryItem&) const = default;
};

// A URL split into the parts the URL scheme reads, decoded strictly: a malformed
// percent escape, an escape that decodes to invalid UTF-8, white space or a control
// character refuse the whole URL. "+" stays "+" (it is not a space outside HTML forms).
// Query values lose the controls and invisible formatting marks that escapes can carry.
struct UrlComponents {
    std::string scheme;               // lower-cased
    std::optional<std::string> host;  // none without "//"; compared exactly, case included
    std::string path;
    std::vector<UrlQueryItem> queryItems;

    // A refused URL gives none; `whyRefused`, when given, then says why (for the log).
    static std::optional<UrlComponents> parse(std::string_view url,
                                              std::string* whyRefused = nullptr);

    // The first item of that name.
    const UrlQueryItem* firstItem(std::string_view name) const;
};

// Decodes %XX escapes; none when an escape is malformed or the result is not UTF-8.
std::optional<std::string> percentDecoded(std::string_view text);

}  // namespace vorela
