#include "Script/IncrementalWordCount.h"

#include <algorithm>

namespace vorela {

namespace {

bool isCut(char c) { return c == ' ' || c == '\n'; }

}  // namespace

long IncrementalWordCount::reset(std::string_view text) {
    count_ = tokenizer_.countWords(text);
    return count_;
}

long IncrementalWordCount::update(std::string_view before, std::string_view after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    const std::size_t prefix = static_cast<std::size_t>(
        std::mismatch(before.begin(), before.begin() + shorter, after.begin()).first -
        before.begin());
    if (prefix == before.size() && prefix == after.size()) return count_;
    const std::size_t suffix = static_cast<std::size_t>(
        std::mismatch(before.rbegin(), before.rbegin() + (shorter - prefix), after.rbegin()).first -
        before.rbegin());
    // The last cut inside the common beginning, strictly before the first changed byte: the
    // byte at `prefix` itself may be a cut in one text only.
    std::size_t start = prefix;
    while (start > 0 && !isCut(before[start - 1])) --start;
    if (start > 0) --start;
    // The first cut of the common end: found in `before`, it stands at the same distance
    // from the end of `after`.
    std::size_t end = before.size() - suffix;
    while (end < before.size() && !isCut(before[end])) ++end;
    const std::size_t afterEnd = end - before.size() + after.size();
    count_ += tokenizer_.countWords(after.substr(start, afterEnd - start)) -
              tokenizer_.countWords(before.substr(start, end - start));
    return count_;
}

}  // namespace vorela
