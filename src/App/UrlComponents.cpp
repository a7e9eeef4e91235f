#include "App/UrlComponents.h"

#include <algorithm>
#include <cctype>

#include "Platform/Foundation/Utf8.h"

namespace vorela {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isSchemeCharacter(char c, bool isFirst) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalpha(u)) return true;
    return !isFirst && (std::isdigit(u) || c == '+' || c == '-' || c == '.');
}

// Bytes a URL never carries raw: ASCII controls, space and DEL.
bool hasForbiddenByte(std::string_view url) {
    return std::any_of(url.begin(), url.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7F;
    });
}

// Controls and invisible formatting marks (bidirectional overrides, zero-width characters)
// that a value could smuggle in percent-encoded: a link may not reorder or hide what the
// panel shows. Line breaks and tabs are text.
bool isInvisibleControl(char32_t c) {
    if (c == U'\n' || c == U'\t') return false;
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

std::string withoutInvisibleControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        if (!isInvisibleControl(unicode::nextCodePoint(text, i)))
            out.append(text.substr(start, i - start));
    }
    return out;
}

std::optional<std::vector<UrlQueryItem>> parseQuery(std::string_view query) {
    std::vector<UrlQueryItem> items;
    std::size_t start = 0;
    while (start < query.size()) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string_view pair = query.substr(start, end - start);
        start = end + 1;
        if (pair.empty()) continue;
        const std::size_t equals = pair.find('=');
        UrlQueryItem item;
        auto name = percentDecoded(pair.substr(0, equals));
        if (!name) return std::nullopt;
        item.name = std::move(*name);
        if (equals != std::string_view::npos) {
            auto value = percentDecoded(pair.substr(equals + 1));
            if (!value) return std::nullopt;
            item.value = withoutInvisibleControls(*value);
        }
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    if (!unicode::isValidUtf8(decoded)) return std::nullopt;
    return decoded;
}

std::optional<UrlComponents> UrlComponents::parse(std::string_view url, std::string* whyRefused) {
    const auto refuse = [whyRefused](const char* why) -> std::optional<UrlComponents> {
        if (whyRefused) *whyRefused = why;
        return std::nullopt;
    };
    if (url.empty()) return refuse("vacía");
    if (hasForbiddenByte(url)) return refuse("tiene espacios o caracteres de control");
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return refuse("no tiene esquema");
    UrlComponents parts;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!isSchemeCharacter(url[i], i == 0)) return refuse("el esquema no es válido");
        parts.scheme.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(url[i]))));
    }
    std::string_view rest = url.substr(colon + 1);
    if (const std::size_t hash = rest.find('#'); hash != std::string_view::npos)
        rest = rest.substr(0, hash);
    std::string_view query;
    bool hasQuery = false;
    if (const std::size_t mark = rest.find('?'); mark != std::string_view::npos) {
        query = rest.substr(mark + 1);
        rest = rest.substr(0, mark);
        hasQuery = true;
    }
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = std::min(rest.find('/'), rest.size());
        std::string_view authority = rest.substr(0, slash);
        rest.remove_prefix(slash);
        if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
            authority.remove_prefix(at + 1);
        if (const std::size_t port = authority.find(':'); port != std::string_view::npos)
            authority = authority.substr(0, port);
        auto host = percentDecoded(authority);
        if (!host) return refuse("el host tiene un escape mal formado");
        // "prompter:///x" has an empty authority: no host, like the platform's parser.
        if (!host->empty()) parts.host = std::move(*host);
    }
    auto path = percentDecoded(rest);
    if (!path) return refuse("la ruta tiene un escape mal formado");
    parts.path = std::move(*path);
    if (hasQuery) {
        auto items = parseQuery(query);
        if (!items) return refuse("la consulta tiene un escape mal formado");
        parts.queryItems = std::move(*items);
    }
    return parts;
}

const UrlQueryItem* UrlComponents::firstItem(std::string_view name) const {
    for (const auto& item : queryItems) {
        if (item.name == name) return &item;
    }
    return nullptr;
}

}  // namespace vorela
