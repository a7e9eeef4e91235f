#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "Shortcuts/Name.h"

namespace vorela::Shortcuts {

// A small table keyed by name that keeps the order in which names were first added, so
// dispatch across names runs in attach order. Tables hold a handful of names.
template <class V>
class NameTable {
public:
    using Entry = std::pair<Name, V>;

    V* find(const Name& name) {
        const auto it = locate(name);
        return it == entries_.end() ? nullptr : &it->second;
    }
    const V* find(const Name& name) const {
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const Entry& e) { return e.first == name; });
        return it == entries_.end() ? nullptr : &it->second;
    }
    // The name's value, created empty when missing.
    V& operator[](const Name& name) {
        if (V* existing = find(name)) return *existing;
        entries_.emplace_back(name, V{});
        return entries_.back().second;
    }
    void erase(const Name& name) {
        const auto it = locate(name);
        if (it != entries_.end()) entries_.erase(it);
    }
    void clear() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    typename std::vector<Entry>::iterator locate(const Name& name) {
        return std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& e) { return e.first == name; });
    }

    std::vector<Entry> entries_;
};

}  // namespace vorela::Shortcuts
