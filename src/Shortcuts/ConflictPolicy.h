#pragma once

#include <optional>
#include <string>

namespace vorela::Shortcuts {

// What a recorder does with a shortcut that something else already uses.
enum class ConflictBehavior {
    block,  // refused after an alert
    warn,   // an alert offers to use it anyway
    allow,  // the conflict is ignored
};

// One behaviour per kind of conflict. A screen sets it for every recorder inside it.
struct ConflictPolicy {
    ConflictBehavior menuItem = ConflictBehavior::block;
    ConflictBehavior systemShortcut = ConflictBehavior::warn;
    ConflictBehavior disallowed = ConflictBehavior::block;

    static constexpr ConflictPolicy defaultPolicy() { return {}; }
    static constexpr ConflictPolicy allowAll() {
        return {ConflictBehavior::allow, ConflictBehavior::allow, ConflictBehavior::allow};
    }
    constexpr bool operator==(const ConflictPolicy&) const = default;
};

// A screen's own acceptance test of a recorded shortcut: allowed, or refused with a text
// shown to the user.
class ValidationResult {
public:
    static ValidationResult allow() { return ValidationResult(std::nullopt); }
    static ValidationResult disallow(std::string reason) { return ValidationResult(reason); }

    bool isAllowed() const { return !reason_; }
    const std::optional<std::string>& reason() const { return reason_; }
    bool operator==(const ValidationResult&) const = default;

private:
    explicit ValidationResult(std::optional<std::string> reason) : reason_(std::move(reason)) {}
    std::optional<std::string> reason_;
};

}  // namespace vorela::Shortcuts
