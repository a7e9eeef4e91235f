#include "ScriptWords.h"

#include <algorithm>

namespace vorela::follow {

namespace {
bool isSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
}  // namespace

ScriptWords::ScriptWords(std::string_view text) : text_(text) {
    std::size_t i = 0;
    while (i < text_.size()) {
        while (i < text_.size() && isSpace(static_cast<unsigned char>(text_[i]))) ++i;
        if (i == text_.size()) break;
        Word word{i, i};
        while (i < text_.size() && !isSpace(static_cast<unsigned char>(text_[i]))) ++i;
        word.end = i;
        words_.push_back(word);
    }
}

std::string_view ScriptWords::textOf(std::size_t index) const {
    const Word& w = words_.at(index);
    return std::string_view(text_).substr(w.start, w.end - w.start);
}

long ScriptWords::indexOfOffset(long offset) const {
    if (offset < 0 || static_cast<std::size_t>(offset) >= text_.size() || words_.empty()) {
        return -1;
    }
    const auto after =
        std::upper_bound(words_.begin(), words_.end(), static_cast<std::size_t>(offset),
                         [](std::size_t value, const Word& w) { return value < w.start; });
    if (after == words_.begin()) return -1;
    return static_cast<long>(after - words_.begin()) - 1;
}

}  // namespace vorela::follow
