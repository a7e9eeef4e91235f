#include "Settings/LaunchAtLogin.h"

#include "Platform/LoginItem/LoginItem.h"

namespace vorela {

LaunchAtLogin::LaunchAtLogin(LoginItem& item)
    : item_(item), launchAtLogin_(item.status() == LoginItemStatus::enabled) {}

void LaunchAtLogin::setLaunchAtLogin(bool enabled) {
    launchAtLogin_ = enabled;
    const auto failure = enabled ? item_.registerItem() : item_.unregisterItem();
    if (!failure) {
        launchError_.reset();
        return;
    }
    launchError_ = failure->description();
    launchAtLogin_ = item_.status() == LoginItemStatus::enabled;
}

}  // namespace vorela
