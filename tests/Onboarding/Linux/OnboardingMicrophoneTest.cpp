#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "App/AppState.h"
#include "Onboarding/OnboardingFlow.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/Linux/PortAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Linux/QtRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Speech/Linux/GrantedSpeechAuthorization.h"
#include "Platform/Time/Clock.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "Support/FakePanelController.h"
#include "Support/PulseServer.h"

namespace vorela {
namespace {

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "vorela-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The voice step's calibration on the real microphone path: a PulseAudio server of our
// own whose silent default source PortAudio reaches through ALSA, Qt's event loop and
// the system clock, and the permissions Linux grants. With nothing playing, the null sink
// hands its monitor audio in blocks of up to 2 s, so the first buffer comes late.
TEST(OnboardingMicrophoneTest, TheVoiceStepCalibratesARealMicrophone) {
    application();
    testing::PulseServer pulse;
    if (!pulse.start()) GTEST_SKIP() << "no PulseAudio server could start here";
    setenv("PULSE_SERVER", pulse.server().c_str(), 1);
    setenv("PULSE_SOURCE", "vmic_mon", 1);
    const auto previousDefaults = UserDefaults::standard();
    UserDefaults::setStandard(UserDefaults::inMemory());
    {
        QObject context;
        QtRunLoop loop(&context, SystemClock::shared());
        FakeAccessibilitySettings accessibility;
        FakeUpdateFramework updates(loop);
        FakePasteboard pasteboard;
        MatcherTelemetry telemetry(std::nullopt);
        AppState state(AppServices{
            .runLoop = loop,
            .accessibility = accessibility,
            .audioEngine = std::make_shared<PortAudioEngine>(loop),
            .workspaceCenter = std::make_shared<NotificationCenter>(loop),
            .updateFramework = updates,
            .pasteboard = pasteboard,
            .makeTranscriptionEngine = {},
            .telemetry = telemetry,
        });
        testing::FakePanelController panel;
        GrantedSpeechAuthorization speech(loop);
        OnboardingFlow flow(state, panel, {speech, pasteboard, {}}, [] {});

        flow.requestAndCalibrate();
        const double end = SystemClock::shared().uptime() + 8;
        while (flow.isCalibrating.get() && SystemClock::shared().uptime() < end) {
            QEventLoop wait;
            QTimer::singleShot(20, &wait, &QEventLoop::quit);
            wait.exec();
        }
        EXPECT_FALSE(flow.isCalibrating.get());
        EXPECT_EQ(flow.permissionProblem.get(), std::nullopt);
        ASSERT_TRUE(flow.calibrationResult.get().has_value());
        // The null sink's monitor is digital silence: the detector's floor, a finite number.
        EXPECT_EQ(flow.calibrationResult.get()->rfind("Ruido de fondo: -", 0), 0u)
            << *flow.calibrationResult.get();
        EXPECT_EQ(state.audioSession().status(), AudioSession::Status::idle())
            << "the calibration gives the microphone back";
    }
    UserDefaults::setStandard(previousDefaults);
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_SOURCE");
}

}  // namespace
}  // namespace vorela
