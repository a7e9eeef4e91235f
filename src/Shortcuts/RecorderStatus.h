#pragma once

#include <string_view>

#include "Platform/Observation/NotificationCenter.h"

namespace vorela::Shortcuts {

// Posted synchronously when a recorder starts or stops recording; user info "isActive"
// holds a bool: whether any recorder is recording now.
inline constexpr std::string_view kRecorderActiveStatusDidChange =
    "Shortcuts_recorderActiveStatusDidChange";

// The notification's "isActive"; false when it is missing or not a bool.
inline bool recorderIsActive(const Notification& notification) {
    const bool* isActive = notification.value<bool>("isActive");
    return isActive && *isActive;
}

}  // namespace vorela::Shortcuts
