#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "Script/Token.h"

namespace vorela {

// The loaded script's words, shared with the matcher and the text view without copying.
// Equal when the words are equal, so loading the same text again notifies nobody.
struct ScriptTokens {
    std::shared_ptr<const std::vector<Token>> list = std::make_shared<const std::vector<Token>>();

    const std::vector<Token>& operator*() const { return *list; }
    const std::vector<Token>* operator->() const { return list.get(); }
    std::size_t size() const { return list->size(); }
    bool empty() const { return list->empty(); }

    bool operator==(const ScriptTokens& other) const {
        return list == other.list || *list == *other.list;
    }
};

}  // namespace vorela
