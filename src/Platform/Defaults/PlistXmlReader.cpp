#include <expat.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "Platform/Defaults/PlistXml.h"
#include "Platform/Foundation/Json.h"

namespace vorela::PlistXml {

namespace {

std::optional<double> parseReal(std::string_view text) {
    if (text == "nan") return std::nan("");
    if (text == "+infinity" || text == "infinity" || text == "inf") return HUGE_VAL;
    if (text == "-infinity" || text == "-inf") return -HUGE_VAL;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

// An integer that no 64-bit type holds is still a well-formed integer.
struct ParsedInteger {
    std::optional<PropertyList> value;
    bool isOutOfRange = false;
};

template <class Int>
ParsedInteger parseAs(std::string_view text) {
    Int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ptr != text.data() + text.size()) return {};
    if (ec == std::errc::result_out_of_range) return {std::nullopt, true};
    if (ec != std::errc()) return {};
    return {PropertyList(value), false};
}

// Signed when it has a minus sign, else unsigned, so the whole uint64 range reads back.
ParsedInteger parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return parseAs<std::int64_t>(text);
    return parseAs<std::uint64_t>(text);
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// "YYYY-MM-DDTHH:MM:SS[.fraction]Z"
std::optional<Date> parseDate(std::string_view text) {
    if (text.size() < 20 || text.back() != 'Z') return std::nullopt;
    auto field = [&](std::size_t at, std::size_t length) -> std::optional<int> {
        int value = 0;
        auto [ptr, ec] = std::from_chars(text.data() + at, text.data() + at + length, value);
        if (ec != std::errc() || ptr != text.data() + at + length) return std::nullopt;
        return value;
    };
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    auto year = field(0, 4), month = field(5, 2), day = field(8, 2);
    auto hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 ||
        *second > 60) {
        return std::nullopt;
    }
    double fraction = 0;
    const std::string_view rest = text.substr(19, text.size() - 20);
    if (!rest.empty()) {
        if (rest.front() != '.') return std::nullopt;
        auto parsed = parseReal("0" + std::string(rest));
        if (!parsed) return std::nullopt;
        fraction = *parsed;
    }
    const std::int64_t days =
        daysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day));
    const double whole = static_cast<double>(days * 86400 + *hour * 3600 + *minute * 60 + *second);
    return Date{whole + fraction};
}

struct Frame {
    PropertyList::Type type = PropertyList::Type::null;  // array, dictionary, or null for <plist>
    PlistArray array;
    PlistDictionary dictionary;
    std::optional<std::string> key;
    std::optional<PropertyList> root;  // for <plist>
};

class Reader {
public:
    Reader() : parser_(XML_ParserCreate("UTF-8")) {
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &Reader::onStart, &Reader::onEnd);
        XML_SetCharacterDataHandler(parser_, &Reader::onText);
        XML_SetEntityDeclHandler(parser_, &Reader::onEntityDecl);
        XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    }
    ~Reader() { XML_ParserFree(parser_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    Reader(Reader&&) = delete;
    Reader& operator=(Reader&&) = delete;

    ParseResult run(std::string_view xml) {
        if (parser_ == nullptr) return failure("No se pudo crear el analizador XML.");
        if (xml.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            return failure("El documento es demasiado grande.");
        }
        const auto status = XML_Parse(parser_, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
        if (error_.empty() && status != XML_STATUS_OK) {
            error_ = std::string("XML mal formado: ") + XML_ErrorString(XML_GetErrorCode(parser_)) +
                     " (línea " + std::to_string(XML_GetCurrentLineNumber(parser_)) + ")";
        }
        if (error_.empty() && (!stack_.empty() || !result_)) error_ = "Falta el elemento <plist>.";
        if (!error_.empty()) return failure(error_);
        return {std::move(result_), {}, std::move(dropped_)};
    }

private:
    static ParseResult failure(std::string message) {
        ParseResult result;
        result.error = std::move(message);
        return result;
    }

    static void onStart(void* self, const XML_Char* name, const XML_Char**) {
        static_cast<Reader*>(self)->start(name);
    }
    static void onEnd(void* self, const XML_Char* name) { static_cast<Reader*>(self)->end(name); }
    static void onText(void* self, const XML_Char* s, int length) {
        static_cast<Reader*>(self)->text(std::string_view(s, static_cast<std::size_t>(length)));
    }
    static void onEntityDecl(void* self, const XML_Char*, int, const XML_Char*, int,
                             const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
        static_cast<Reader*>(self)->fail("El archivo declara entidades, que no se admiten.");
    }

    void fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        XML_StopParser(parser_, XML_FALSE);
    }

    void start(std::string_view name) {
        if (!error_.empty()) return;
        if (inScalar_) return fail("Elemento <" + std::string(name) + "> dentro de un valor.");
        if (static_cast<int>(stack_.size()) > kMaxDepth) return fail("Anidamiento excesivo.");
        if (name == "plist") {
            if (!stack_.empty() || result_) return fail("Elemento <plist> fuera de lugar.");
            stack_.push_back(Frame{});
        } else if (stack_.empty()) {
            fail("Elemento <" + std::string(name) + "> fuera de <plist>.");
        } else if (name == "array" || name == "dict") {
            Frame frame;
            frame.type =
                name == "array" ? PropertyList::Type::array : PropertyList::Type::dictionary;
            stack_.push_back(std::move(frame));
        } else if (name == "key" || name == "string" || name == "integer" || name == "real" ||
                   name == "data" || name == "date" || name == "true" || name == "false") {
            inScalar_ = true;
            text_.clear();
        } else {
            fail("Elemento desconocido <" + std::string(name) + ">.");
        }
    }

    void text(std::string_view s) {
        if (!error_.empty()) return;
        if (inScalar_) {
            text_ += s;
        } else if (s.find_first_not_of(" \t\r\n") != std::string_view::npos) {
            fail("Texto fuera de un valor.");
        }
    }

    void end(std::string_view name) {
        if (!error_.empty()) return;
        if (inScalar_) {
            inScalar_ = false;
            if (name == "key") {
                Frame& top = stack_.back();
                if (top.type != PropertyList::Type::dictionary || top.key)
                    return fail("Clave fuera de lugar.");
                top.key = text_;
                return;
            }
            if (name == "integer" && parseInteger(trimmed(text_)).isOutOfRange)
                return drop("el entero «" + std::string(trimmed(text_)) + "» no cabe en 64 bits");
            auto value = scalar(name, text_);
            if (!value)
                return fail("Valor <" + std::string(name) + "> no válido: «" + text_ + "».");
            return add(std::move(*value));
        }
        Frame frame = std::move(stack_.back());
        stack_.pop_back();
        if (name == "plist") {
            if (!frame.root) return fail("El elemento <plist> está vacío.");
            result_ = std::move(frame.root);
            return;
        }
        if (frame.key) return fail("Clave sin valor: «" + *frame.key + "».");
        if (frame.type == PropertyList::Type::array)
            return add(PropertyList(std::move(frame.array)));
        add(PropertyList(std::move(frame.dictionary)));
    }

    static std::optional<PropertyList> scalar(std::string_view name, const std::string& text) {
        if (name == "string") return PropertyList(text);
        if (name == "true") return PropertyList(true);
        if (name == "false") return PropertyList(false);
        const std::string_view value = trimmed(text);
        if (name == "integer") {
            return parseInteger(value).value;
        } else if (name == "real") {
            if (auto d = parseReal(value)) return PropertyList(*d);
        } else if (name == "data") {
            if (auto bytes = Json::base64Decode(value)) return PropertyList(std::move(*bytes));
        } else if (name == "date") {
            if (auto date = parseDate(value)) return PropertyList(*date);
        }
        return std::nullopt;
    }

    // Leaves out the value just read, and its key, instead of refusing the whole file.
    void drop(const std::string& reason) {
        Frame& top = stack_.back();
        std::string where = "un valor";
        if (top.type == PropertyList::Type::dictionary && top.key) {
            where = "la clave «" + *top.key + "»";
            top.key.reset();
        } else if (top.type == PropertyList::Type::array) {
            where = "un elemento de una lista";
        }
        dropped_.push_back("Se omite " + where + ": " + reason + ".");
    }

    void add(PropertyList value) {
        Frame& top = stack_.back();
        switch (top.type) {
            case PropertyList::Type::array:
                top.array.push_back(std::move(value));
                return;
            case PropertyList::Type::dictionary:
                if (!top.key) return fail("Valor sin clave en un diccionario.");
                top.dictionary.insert_or_assign(std::move(*top.key), std::move(value));
                top.key.reset();
                return;
            default:
                if (top.root) return fail("El elemento <plist> tiene más de un valor.");
                top.root = std::move(value);
        }
    }

    XML_Parser parser_;
    std::vector<Frame> stack_;
    bool inScalar_ = false;
    std::string text_;
    std::optional<PropertyList> result_;
    std::string error_;
    std::vector<std::string> dropped_;
};

}  // namespace

ParseResult parse(std::string_view xml) {
    Reader reader;
    return reader.run(xml);
}

}  // namespace vorela::PlistXml
