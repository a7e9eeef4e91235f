#include <gtest/gtest.h>

#include "App/AppStateEnvironment.h"
#include "App/MainWindowModel.h"
#include "Support/FakePanelController.h"

namespace vorela {
namespace {

using Shade = MainWindowModel::DotShade;

TEST(MainWindowModelTest, TextsAndDotColours) {
    struct Rate {
        const char* name;
        double wpm;
        const char* text;
    } rates[] = {{"lower end", 60, "60 ppm"},
                 {"fraction cut", 139.9, "139 ppm"},
                 {"upper end", 260, "260 ppm"},
                 {"not a number", std::nan(""), "0 ppm"}};
    for (const auto& c : rates) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MainWindowModel::rateText(c.wpm), c.text);
    }
    EXPECT_EQ(MainWindowModel::wordPositionText(0, 0), "1 / 0");
    EXPECT_EQ(MainWindowModel::wordPositionText(1233, 5000), "1234 / 5000");

    struct Dot {
        const char* name;
        VoiceStatus status;
        Shade shade;
    } dots[] = {
        {"off", VoiceStatus(), Shade::clear},
        {"preparing", VoiceStatus(VoiceStatus::Kind::preparing), Shade::accent},
        {"ready", VoiceStatus(VoiceStatus::Kind::ready), Shade::secondary},
        {"searching", VoiceStatus(VoiceStatus::Kind::searching), Shade::accent},
        {"following", VoiceStatus(VoiceStatus::Kind::following), Shade::green},
        {"lost", VoiceStatus(VoiceStatus::Kind::lost), Shade::red},
        {"problem", VoiceStatus::problem("No hay micrófono conectado."), Shade::red},
    };
    for (const auto& c : dots) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MainWindowModel::matchColor(c.status), c.shade);
    }
}

class MainWindowPlayPauseTest : public testing::AppStateTest {};

TEST_F(MainWindowPlayPauseTest, ShowsThePanelFirstThenToggles) {
    testing::FakePanelController panel;
    AppState& state = makeState();
    state.load("", "vacío");
    MainWindowModel::playPause(state, panel);
    EXPECT_EQ(panel.showCount, 1) << "the panel shows even with nothing to play";
    EXPECT_EQ(state.playback.get(), PlaybackState::stopped);

    state.load("uno dos tres", "tres");
    MainWindowModel::playPause(state, panel);
    EXPECT_EQ(state.playback.get(), PlaybackState::playing);
    MainWindowModel::playPause(state, panel);
    EXPECT_EQ(state.playback.get(), PlaybackState::paused);
    EXPECT_TRUE(panel.isVisible()) << "pausing hides nothing";
    EXPECT_EQ(panel.showCount, 3);
}

}  // namespace
}  // namespace vorela
