#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Script/Importers/ScriptImportError.h"

namespace vorela {

// The text of one notes page of a presentation: the paragraphs of its text runs, read
// with an event-driven, non-namespace-aware XML parser (element names keep prefixes).
class DrawingMLText {
public:
    // Receives the parser's events for one page.
    class Collector {
    public:
        void elementStarted(std::string_view name);
        void charactersFound(std::string_view text);
        void elementEnded(std::string_view name);

        const std::vector<std::string>& paragraphs() const { return paragraphs_; }

    private:
        std::vector<std::string> paragraphs_;
        std::string current_;
        bool insideText_ = false;
    };

    // Parses one page; a malformed page yields the paragraphs that ended before the
    // error. A page with a document type declaration is refused (unreadable): its
    // entities could expand far beyond the import limits, and notes never need one.
    static ImportResult<std::vector<std::string>> paragraphs(std::span<const std::uint8_t> xml);

    // Whether a paragraph reads as a decimal integer (a slide-number field).
    static bool isInteger(std::string_view text);
};

}  // namespace vorela
