#include <algorithm>
#include <cmath>
#include <ctime>

#include "Platform/Defaults/PlistXml.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Foundation/Json.h"
#include "Platform/Foundation/Utf8.h"

namespace vorela::PlistXml {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the valid UTF-8 sequence at s[i] whose scalar XML 1.0 allows, else 0.
std::size_t xmlCharLength(std::string_view s, std::size_t i) {
    const unicode::DecodedScalar decoded = unicode::decodeUtf8(s, i);
    if (!decoded.isValid) return 0;
    const char32_t c = decoded.scalar;
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return 0;
    if (c == 0xFFFE || c == 0xFFFF) return 0;  // not XML characters
    return decoded.length;
}

void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = xmlCharLength(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        switch (text[i]) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\r':
                out += "&#13;";
                break;  // a raw CR would be read back as LF
            default:
                out.append(text.substr(i, length));
        }
        i += length;
    }
}

std::string realText(double d) {
    if (std::isnan(d)) return "nan";
    if (std::isinf(d)) return d > 0 ? "+infinity" : "-infinity";
    return formatDouble(d);
}

// ISO 8601 in UTC, in whole seconds: the XML format defines no fraction, and readers of
// other programs refuse a file whose date has one. The fraction is dropped (rounded down,
// so the date never moves into a later second).
std::string dateText(const Date& date) {
    // Years outside 1-9999 have no four-digit form, and a date that could not be read
    // back would make the whole file unreadable: such dates are clamped.
    constexpr double kFirst = -62135596800.0;  // 0001-01-01T00:00:00Z
    constexpr double kLast = 253402300799.0;   // 9999-12-31T23:59:59Z
    double t = date.secondsSince1970;
    if (std::isnan(t)) t = 0;
    t = std::clamp(t, kFirst, kLast);
    const auto seconds = static_cast<std::time_t>(std::floor(t));
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    return format("%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
}

void writeObject(std::string& out, const PropertyList& object, int depth) {
    const std::string indent(static_cast<std::size_t>(depth), '\t');
    switch (object.type()) {
        case PropertyList::Type::null:
            return;
        case PropertyList::Type::boolean:
            out += indent + (*object.boolean() ? "<true/>\n" : "<false/>\n");
            return;
        case PropertyList::Type::integer:
            out += indent + "<integer>" + std::to_string(*object.integer()) + "</integer>\n";
            return;
        case PropertyList::Type::unsignedInteger:
            out +=
                indent + "<integer>" + std::to_string(*object.unsignedInteger()) + "</integer>\n";
            return;
        case PropertyList::Type::real:
            out += indent + "<real>" + realText(*object.real()) + "</real>\n";
            return;
        case PropertyList::Type::string:
            out += indent + "<string>";
            appendEscaped(out, *object.string());
            out += "</string>\n";
            return;
        case PropertyList::Type::data:
            out += indent + "<data>" + Json::base64Encode(*object.data()) + "</data>\n";
            return;
        case PropertyList::Type::date:
            out += indent + "<date>" + dateText(*object.date()) + "</date>\n";
            return;
        case PropertyList::Type::array:
            if (object.array()->empty()) {
                out += indent + "<array/>\n";
                return;
            }
            out += indent + "<array>\n";
            for (const auto& element : *object.array()) writeObject(out, element, depth + 1);
            out += indent + "</array>\n";
            return;
        case PropertyList::Type::dictionary:
            if (object.dictionary()->empty()) {
                out += indent + "<dict/>\n";
                return;
            }
            out += indent + "<dict>\n";
            for (const auto& [key, value] : *object.dictionary()) {
                if (value.isNull()) continue;
                out += indent + "\t<key>";
                appendEscaped(out, key);
                out += "</key>\n";
                writeObject(out, value, depth + 1);
            }
            out += indent + "</dict>\n";
            return;
    }
}

}  // namespace

std::string write(const PropertyList& object) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
    writeObject(out, object, 0);
    out += "</plist>\n";
    return out;
}

}  // namespace vorela::PlistXml
