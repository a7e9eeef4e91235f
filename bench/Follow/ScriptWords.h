#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorela::follow {

// The script cut into words at white space, each word as its UTF-8 byte range. Both the
// reader tool and the scorer count words this way, so a word index means the same to both.
class ScriptWords {
public:
    struct Word {
        std::size_t start = 0;  // first byte
        std::size_t end = 0;    // one past the last byte
    };

    explicit ScriptWords(std::string_view text);

    std::size_t size() const { return words_.size(); }
    const Word& at(std::size_t index) const { return words_.at(index); }
    std::string_view textOf(std::size_t index) const;

    // The word whose range holds the byte offset; an offset in the white space after a word
    // belongs to that word (a follower may point at punctuation or spacing). -1 when the
    // offset lies before the first word, past the text's end, or the script has no words.
    long indexOfOffset(long offset) const;

private:
    std::string text_;
    std::vector<Word> words_;
};

}  // namespace vorela::follow
