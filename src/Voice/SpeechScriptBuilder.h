#pragma once

#include <memory>
#include <vector>

#include "Platform/Speech/SpeechScript.h"
#include "Platform/Speech/TranscriptionLocale.h"
#include "Script/Token.h"

namespace vorela {

// The loaded script as the recogniser should expect it, from the tokenizer's tokens: each
// word's comparison form and spelling, and how a number is said.
struct SpeechScriptBuilder {
    static std::shared_ptr<const SpeechScript> make(const std::vector<Token>& tokens,
                                                    TranscriptionLocale locale);
    // Spanish readers say "1.250" as "mil doscientos cincuenta": a dot before each group
    // of three digits separates thousands. Nothing for any other text.
    static std::optional<std::string> spanishGroupedReading(std::string_view raw);
};

}  // namespace vorela
