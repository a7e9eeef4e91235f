#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Settings/StealthChecker.h"

namespace vorela {

// What the discretion tab shows for a checker status, the panel's visibility and the
// stored result of an earlier check: the view only renders it.
struct StealthCheckPresentation {
    enum class Outcome { none, progress, done, failed, stored };

    // The settings page of the screen-capture permission, which the workspace maps to the
    // desktop's own settings where the session has such a permission.
    static constexpr std::string_view kPermissionsUrl =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture";

    std::string buttonTitle;
    bool isButtonEnabled = false;
    bool showsPanelHint = false;  // "Mostrá el panel primero."

    Outcome outcome = Outcome::none;
    bool isVisible = false;  // done: orange warning, else green seal
    std::string title;       // done: the verdict; failed: the message
    // failed: "Abrir permisos de grabación de pantalla", where a permission can be granted
    bool showsPermissionsAction = false;
    std::string detail;      // done: where, when and how much pattern
    std::string advice;      // done and visible only
    std::string storedLine;  // stored: the earlier check, or the advice to repeat it
    bool isStale = false;    // stored: shown in orange

    struct Inputs {
        const StealthChecker::Status& status;
        bool isPanelVisible = false;
        const std::optional<StealthResult>& stored;
        bool isResultStale = false;
        // The user's abbreviated date with a short time.
        std::function<std::string(Date)> formatDate;
        // Whether this session has a screen-capture permission to open (not on X11).
        bool hasCapturePermission = false;
    };
    static StealthCheckPresentation make(const Inputs& inputs);
};

}  // namespace vorela
