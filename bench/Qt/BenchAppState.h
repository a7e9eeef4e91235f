#pragma once

#include <memory>
#include <optional>

#include "App/AppState.h"
#include "Matcher/MatcherTelemetry.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/Fake/FakeAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Updates/Fake/FakeUpdater.h"

namespace vorela::bench {

// The central state over fakes of the services that play no part in what a bench
// measures, with in-memory preferences and a telemetry that writes nowhere.
struct BenchAppState {
    explicit BenchAppState(RunLoop& runLoop) : loop(runLoop) {}

    RunLoop& loop;
    bool inMemoryDefaults = (UserDefaults::setStandard(UserDefaults::inMemory()), true);
    FakeAccessibilitySettings accessibility;
    FakeUpdateFramework updates{loop};
    FakePasteboard pasteboard;
    MatcherTelemetry telemetry{std::nullopt};
    AppState state{AppServices{
        .runLoop = loop,
        .accessibility = accessibility,
        .audioEngine = std::make_shared<FakeAudioEngine>(loop),
        .workspaceCenter = std::make_shared<NotificationCenter>(loop),
        .updateFramework = updates,
        .pasteboard = pasteboard,
        .makeTranscriptionEngine = [] { return nullptr; },
        .telemetry = telemetry,
    }};
};

}  // namespace vorela::bench
