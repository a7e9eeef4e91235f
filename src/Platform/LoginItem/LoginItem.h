#pragma once

#include <optional>
#include <string>

namespace vorela {

// The platform's record of whether the application starts when the user logs in. The raw
// values are those the settings window reads: only `enabled` (1) shows as on.
enum class LoginItemStatus { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

enum class LoginItemError {
    noConfigFolder,  // neither XDG_CONFIG_HOME nor HOME gives an absolute folder
    cannotWrite,     // the entry or its folder could not be written
    cannotRemove,    // the entry exists and could not be deleted
};

// A failed request: what went wrong and the system's own reason, when it gave one.
struct LoginItemFailure {
    LoginItemError code = LoginItemError::cannotWrite;
    std::string detail;
    // The Spanish text shown under the switch, with the detail after a colon.
    std::string description() const;
};

// Registers the application itself to start at login. Main thread; calls are synchronous.
// status() reads the real record every time, so it tells the truth after a failure.
class LoginItem {
public:
    LoginItem() = default;
    virtual ~LoginItem() = default;
    LoginItem(const LoginItem&) = delete;
    LoginItem& operator=(const LoginItem&) = delete;
    LoginItem(LoginItem&&) = delete;
    LoginItem& operator=(LoginItem&&) = delete;

    virtual LoginItemStatus status() const = 0;
    // Nothing on success; registering twice or removing what is absent succeeds.
    virtual std::optional<LoginItemFailure> registerItem() = 0;
    virtual std::optional<LoginItemFailure> unregisterItem() = 0;
};

}  // namespace vorela
