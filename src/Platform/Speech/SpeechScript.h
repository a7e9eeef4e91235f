#pragma once

#include <string>
#include <vector>

#include "Platform/Foundation/CompactString.h"

namespace vorela {

// One word of the loaded script as a reader may say it.
struct SpeechScriptWord {
    CompactString word;      // comparison form, what the recogniser answers ("tenia", "1250")
    CompactString spelling;  // lower case, accents kept: pronunciation rules read it ("tenía")
    // Spoken phrases of a number, most likely first ("mil doscientos cincuenta"); empty
    // for a word without digits.
    std::vector<std::string> readings;

    bool operator==(const SpeechScriptWord&) const = default;
};

// The loaded text handed to the recogniser so that it expects the script's words in the
// script's order. Immutable once built; shared between threads.
struct SpeechScript {
    std::string localeIdentifier;  // "es-ES", "en-US"...
    std::vector<SpeechScriptWord> words;

    bool operator==(const SpeechScript&) const = default;
};

}  // namespace vorela
