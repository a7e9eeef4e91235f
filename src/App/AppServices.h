#pragma once

#include <functional>
#include <memory>
#include <string>

#include "App/UpdateController.h"
#include "Matcher/MatcherTelemetry.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {

class AccessibilitySettings;
class AudioEngine;
class NotificationCenter;
class Pasteboard;
class RunLoop;
class UpdateFramework;

// The platform services the central state works through. Everything held by reference
// must outlive the state.
struct AppServices {
    RunLoop& runLoop;  // the main run loop; its clock is the system uptime
    const AccessibilitySettings& accessibility;
    std::shared_ptr<AudioEngine> audioEngine;
    std::shared_ptr<NotificationCenter> workspaceCenter;  // announces waking from sleep
    UpdateFramework& updateFramework;
    Pasteboard& pasteboard;
    MakeTranscriptionEngine makeTranscriptionEngine;
    MatcherTelemetry& telemetry = MatcherTelemetry::shared();
    UpdateController::InfoLookup updateInfo = UpdateController::defaultInfo();
};

}  // namespace vorela
