#pragma once

#include <string>
#include <string_view>

namespace vorela {

// The clean-up behind ScriptImporter::clean, in its fixed order:
//   1. "\r\n" and lone "\r" become "\n";
//   2. typographic quotes and dashes become ASCII, no-break spaces plain spaces, and
//      the bullet "•" vanishes;
//   3. each line loses the spaces and tabs at its ends, then a leading slide heading
//      ("Slide 3:", "diapositiva 12 -"), then a leading list marker ("- ", "* ");
//   4. runs of empty lines shrink to one empty line;
//   5. white space and line breaks at both ends go.
class TextCleanup {
public:
    static std::string clean(std::string_view text);

    // The length in bytes of the slide heading that opens `line`, 0 when none.
    static std::size_t slideHeadingLength(std::string_view line);
    // The length in bytes of the list marker and its white space opening `line`.
    static std::size_t bulletLength(std::string_view line);
};

}  // namespace vorela
