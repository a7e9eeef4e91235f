#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "Shortcuts/Shortcut.h"

namespace vorela::Shortcuts {

// A named global shortcut: code refers to a command by name, never by its keys. Two names
// are the same name when their raw values are equal; the initial shortcut plays no part in
// equality, hashing or ordering.
class Name {
public:
    // init(rawValue:): a name with no initial shortcut; touches nothing.
    explicit Name(std::string rawValue) : rawValue_(std::move(rawValue)) {}
    Name(std::string rawValue, std::optional<Shortcut> initialShortcut)
        : rawValue_(std::move(rawValue)), initialShortcut_(initialShortcut) {}

    // init(_:initial:): the name as the application declares it. In the installed context
    // it stores the initial shortcut when nothing is stored under the name yet, so the
    // default never overwrites the user's choice or removal. Main thread.
    static Name declare(std::string rawValue, std::optional<Shortcut> initial);

    const std::string& rawValue() const { return rawValue_; }
    const std::optional<Shortcut>& initialShortcut() const { return initialShortcut_; }
    const std::optional<Shortcut>& defaultShortcut() const { return initialShortcut_; }

    // The stored shortcut, read afresh on every call; setting it follows setShortcut's rule.
    // Both use the installed context (main thread).
    std::optional<Shortcut> shortcut() const;
    void setShortcut(std::optional<Shortcut> shortcut) const;

    bool operator==(const Name& other) const { return rawValue_ == other.rawValue_; }
    std::strong_ordering operator<=>(const Name& other) const {
        return rawValue_ <=> other.rawValue_;
    }

private:
    std::string rawValue_;
    std::optional<Shortcut> initialShortcut_;
};

}  // namespace vorela::Shortcuts

template <>
struct std::hash<vorela::Shortcuts::Name> {
    std::size_t operator()(const vorela::Shortcuts::Name& name) const noexcept {
        return std::hash<std::string>{}(name.rawValue());
    }
};
