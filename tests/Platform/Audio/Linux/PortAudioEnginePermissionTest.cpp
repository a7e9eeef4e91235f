#include <gtest/gtest.h>

#include <memory>

#include "Platform/Audio/Linux/PortAudioEngine.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Support/RefusedMicrophone.h"
#include "Voice/AudioSession.h"

namespace vorela {
namespace {

// How the bug showed: with a sound device the user may not open, voice mode said there was
// no input device, and the microphone settings links never appeared.
// Why: ALSA refuses the device with EACCES, which is exactly a refused permission; PortAudio
// only hides the device from its list.
TEST(PortAudioEnginePermissionTest, ADeviceTheSystemRefusesIsADeniedMicrophone) {
    testing::RefusedMicrophone refused;
    if (!refused.isInstalled()) GTEST_SKIP() << "no file here refuses reading";
    ManualRunLoop loop;
    auto engine = std::make_shared<PortAudioEngine>(loop);
    EXPECT_EQ(engine->authorizationStatus(), AudioPermissionStatus::denied);

    AudioSession session(loop, engine, std::make_shared<NotificationCenter>(loop));
    session.start();
    loop.runUntilIdle();
    EXPECT_EQ(session.status(), AudioSession::Status::denied());
}

}  // namespace
}  // namespace vorela
