#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorela {

// One recogniser result: every word of the current utterance so far, oldest first, as
// the recogniser spells them. Equal field by field; an absent timestamp list differs
// from an empty one.
struct TranscriptionUpdate {
    std::vector<std::string> words;
    bool isFinal = false;
    std::optional<std::vector<double>> timestamps;  // start of each word, engine seconds
    double receivedAt = 0;                          // system uptime, seconds

    bool operator==(const TranscriptionUpdate&) const = default;
};

}  // namespace vorela
