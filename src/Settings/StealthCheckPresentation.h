#pragma once

#include <functional>
#include <optional>
#include <string>

#include "Settings/StealthChecker.h"

namespace vorela {

// What the discretion tab shows for a checker status, the panel's visibility and the
// stored result of an earlier check: the view only renders it.
struct StealthCheckPresentation {
    enum class Outcome { none, progress, done, failed, stored };

    std::string buttonTitle;
    bool isButtonEnabled = false;
    bool showsPanelHint = false;  // "Mostrá el panel primero."

    Outcome outcome = Outcome::none;
    bool isVisible = false;  // done: orange warning, else green seal
    std::string title;       // done: the verdict; failed: the message
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
    };
    static StealthCheckPresentation make(const Inputs& inputs);
};

}  // namespace vorela
