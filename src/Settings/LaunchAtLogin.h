#pragma once

#include <optional>
#include <string>

namespace vorela {

class LoginItem;

// The General tab's two pieces of view state for launch at login: whether the switch is
// on (read from the login item once, when the settings content is made) and the text of
// the last failed request. Main thread.
class LaunchAtLogin {
public:
    explicit LaunchAtLogin(LoginItem& item);

    bool launchAtLogin() const { return launchAtLogin_; }
    const std::optional<std::string>& launchError() const { return launchError_; }

    // Registers or removes the login item. On failure the error text is kept and the
    // switch shows the item's real status again; that correction is not a new request,
    // so the failure stays on screen rather than being wiped by a trivially successful
    // opposite request.
    void setLaunchAtLogin(bool enabled);

private:
    LoginItem& item_;
    bool launchAtLogin_ = false;
    std::optional<std::string> launchError_;
};

}  // namespace vorela
