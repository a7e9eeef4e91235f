#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ScriptWords.h"

namespace vorela::follow {

// What a reader says, as directives over the script's white-space words (0-based), one a line:
//   read FIRST LAST     script words FIRST..LAST inclusive, as written ("end" = the last word)
//   say WORDS...        off-script words
//   as INDEX WORDS...   script word INDEX spoken as WORDS (a number read aloud)
// Blank lines and lines starting with '#' are ignored. An empty plan reads the whole script.
class ReadingPlan {
public:
    struct SpokenWord {
        std::string text;
        long scriptOffset = -1;  // -1 off script
    };

    // Nothing when a directive is malformed or out of range; `error` names the line.
    static std::optional<std::vector<SpokenWord>> spokenWords(std::string_view plan,
                                                              const ScriptWords& script,
                                                              std::string& error);
};

}  // namespace vorela::follow
