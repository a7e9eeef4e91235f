#pragma once

#include <string_view>

#include "Script/Tokenizer.h"

namespace vorela {

// The word count of a text being edited, kept current by recounting only the stretch an
// edit touched. No word crosses a space or a line break (the word boundaries always break
// before one, and a word's punctuation never spans one), so the count of a text is the
// sum of the counts of its stretches cut before each space and line break: an edit
// changes only the stretch from the cut before it to the cut after it. A keystroke in a
// text of megabytes then costs a comparison of the two texts and the count of one word.
class IncrementalWordCount {
public:
    explicit IncrementalWordCount(Tokenizer tokenizer) : tokenizer_(std::move(tokenizer)) {}

    long count() const { return count_; }
    // Counts the whole text.
    long reset(std::string_view text);
    // Takes the count of a text that was counted elsewhere.
    void reset(long count) { count_ = count; }
    // `before` is the text of the last reset or update.
    long update(std::string_view before, std::string_view after);

private:
    Tokenizer tokenizer_;
    long count_ = 0;
};

}  // namespace vorela
