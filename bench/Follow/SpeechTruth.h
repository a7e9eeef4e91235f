#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorela::follow {

// What a synthetic reading really said and when: one entry per spoken word, in order.
struct SpeechTruth {
    struct Word {
        std::string text;
        double startSeconds = 0;
        double endSeconds = 0;
        long scriptOffset = -1;  // byte offset of the script word it reads; -1 off script
    };

    std::string set;    // the summary group the reading belongs to ("clean-es", "edits", ...)
    std::string voice;  // espeak-ng voice name with its variant
    int rateWpm = 0;
    int pitch = 0;
    double durationSeconds = 0;
    std::vector<Word> words;

    std::string toJson() const;
    // Nothing when the text is not a truth document; `error` then says why.
    static std::optional<SpeechTruth> fromJson(std::string_view text, std::string& error);
};

}  // namespace vorela::follow
