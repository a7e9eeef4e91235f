#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Script/Token.h"

namespace vorela {

// The loaded script's words, shared with the matcher and the text view without copying.
// Equal when the words are equal and were made from the same text. A load publishes its
// text first and then these, which notify whenever the text changed: whoever lays out the
// text waits for them and lays it out once, with the words that belong to it.
struct ScriptTokens {
    std::shared_ptr<const std::vector<Token>> list = std::make_shared<const std::vector<Token>>();
    std::uint64_t textRevision = 0;  // counts the changes of the text

    const std::vector<Token>& operator*() const { return *list; }
    const std::vector<Token>* operator->() const { return list.get(); }
    std::size_t size() const { return list->size(); }
    bool empty() const { return list->empty(); }

    bool operator==(const ScriptTokens& other) const {
        return textRevision == other.textRevision && (list == other.list || *list == *other.list);
    }
};

}  // namespace vorela
