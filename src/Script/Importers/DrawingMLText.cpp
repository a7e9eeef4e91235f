#include "Script/Importers/DrawingMLText.h"

#include <expat.h>

#include <limits>
#include <memory>

#include "Platform/Bundle/Bundle.h"
#include "Script/Unicode.h"

namespace vorela {

namespace {

bool isTextElement(std::string_view name) { return name == "a:t" || name == "t"; }
bool isParagraphElement(std::string_view name) { return name == "a:p" || name == "p"; }

struct ParserCloser {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// The parser's user data: the page's collector and whether the page declared a DTD.
struct Page {
    XML_Parser parser = nullptr;
    DrawingMLText::Collector collector;
    bool hasDeclarations = false;

    void refuse() {
        hasDeclarations = true;
        XML_StopParser(parser, XML_FALSE);
    }
};

void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<Page*>(data)->refuse();
}

void XMLCALL onEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                          const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<Page*>(data)->refuse();
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char**) {
    static_cast<Page*>(data)->collector.elementStarted(name);
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    static_cast<Page*>(data)->collector.elementEnded(name);
}

void XMLCALL onCharacters(void* data, const XML_Char* text, int length) {
    static_cast<Page*>(data)->collector.charactersFound(
        std::string_view(text, static_cast<std::size_t>(length)));
}

}  // namespace

void DrawingMLText::Collector::elementStarted(std::string_view name) {
    if (isTextElement(name)) insideText_ = true;
}

void DrawingMLText::Collector::charactersFound(std::string_view text) {
    if (insideText_) current_.append(text);
}

void DrawingMLText::Collector::elementEnded(std::string_view name) {
    if (isTextElement(name)) {
        insideText_ = false;
    } else if (isParagraphElement(name)) {
        const std::string_view trimmed = unicode::trimWhitespaceAndNewlines(current_);
        if (!trimmed.empty() && !isInteger(trimmed)) paragraphs_.emplace_back(trimmed);
        current_.clear();
    }
}

bool DrawingMLText::isInteger(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        pos = 1;
    }
    if (pos == text.size()) return false;
    // Reads as a 64-bit integer, like the platform's integer parsing: longer numbers are text.
    unsigned long long value = 0;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
                 : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    for (; pos < text.size(); ++pos) {
        const char ch = text[pos];
        if (ch < '0' || ch > '9') return false;
        const auto digit = static_cast<unsigned long long>(ch - '0');
        if (value > (limit - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

ImportResult<std::vector<std::string>> DrawingMLText::paragraphs(
    std::span<const std::uint8_t> xml) {
    std::unique_ptr<XML_ParserStruct, ParserCloser> parser(XML_ParserCreate(nullptr));
    if (!parser || xml.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return std::vector<std::string>();
    }
    Page page;
    page.parser = parser.get();
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(parser.get(), &page);
    XML_SetStartDoctypeDeclHandler(parser.get(), onDoctype);
    XML_SetEntityDeclHandler(parser.get(), onEntityDecl);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onCharacters);
    // The result is ignored on purpose: a malformed page keeps what came before the error.
    XML_Parse(parser.get(), reinterpret_cast<const char*>(xml.data()), static_cast<int>(xml.size()),
              XML_TRUE);
    if (page.hasDeclarations) {
        return ScriptImportError::unreadable(
            Bundle::localized("Las notas de la presentación declaran un DTD o entidades XML, que "
                              "no se admiten."));
    }
    return page.collector.paragraphs();
}

}  // namespace vorela
