#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "App/AppState.h"
#include "App/AppStateEnvironment.h"
#include "Render/HoverMonitor.h"
#include "Support/MatcherScripts.h"

namespace vorela {
namespace {

namespace Keys = Prefs::Keys;

class PlaybackTest : public testing::AppStateTest {
protected:
    AppState& playing(long words, PrompterMode mode, double rate = 120) {
        AppState& state = makeAttachedState(words);
        t_ = 0;
        state.setWpm(rate);
        state.setMode(mode);
        state.play();
        return state;
    }
    void frames(double seconds) { t_ = surface_->runFrames(t_, seconds); }

    double t_ = 0;  // time stamp of the last frame delivered
};

TEST_F(PlaybackTest, ConstantRateMovesTwoWordsASecondAt120AndStopsAtTheLastWord) {
    AppState& state = playing(100, PrompterMode::classic);
    std::vector<long> words;
    auto watch = state.currentTokenIndex.observe([&](long index) { words.push_back(index); });
    frames(1);
    EXPECT_NEAR(state.wordPosition(), 2, 1e-9);
    frames(2.25);
    EXPECT_EQ(words, (std::vector<long>{1, 2, 3, 4, 5, 6})) << "only whole words notify";
    EXPECT_EQ(state.scrollEngine().targetY(), (6.5 + 0.5) * 20) << "between words 6 and 7";

    state.jumpToToken(99);
    EXPECT_EQ(state.scrollEngine().targetY(), 2000 - 14)
        << "never past the text less half the font";
    frames(1.0 / 60);
    EXPECT_EQ(state.playback.get(), PlaybackState::stopped);
    EXPECT_EQ(state.progress(), 1);
    EXPECT_DOUBLE_EQ(state.remainingSeconds(), 0.5) << "one word at two words a second";
}

TEST_F(PlaybackTest, OneWordStopsOnTheFirstFrameAndNoWordsDoNotPlay) {
    AppState& state = playing(1, PrompterMode::classic);
    frames(1.0 / 60);
    EXPECT_EQ(state.playback.get(), PlaybackState::stopped);
    AppState& empty = makeAttachedState(0);
    empty.play();
    EXPECT_EQ(empty.playback.get(), PlaybackState::stopped);
    EXPECT_EQ(empty.mode.get(), PrompterMode::manual);
}

TEST_F(PlaybackTest, PlayInManualSwitchesToTheDefaultModeThroughSetMode) {
    // play() used to assign a voice default mode directly, so playback ran with no
    // microphone; it must switch exactly as a mode chosen by hand.
    Prefs::set(Keys::defaultMode(), PrompterMode::wordTracking);
    AppState& state = makeAttachedState(30);
    int panelRequests = 0;
    const auto requests = state.setOnRequestShowPanel([&] { ++panelRequests; });
    state.play();
    loop_.runUntilIdle();
    EXPECT_EQ(state.mode.get(), PrompterMode::wordTracking);
    EXPECT_EQ(state.playback.get(), PlaybackState::playing);
    EXPECT_TRUE(audio_->isRunning());
    EXPECT_TRUE(state.isTranscribing.get());
    EXPECT_EQ(panelRequests, 1);
    EXPECT_EQ(telemetryRecords("mode").size(), 1u);
}

TEST_F(PlaybackTest, PauseRestartAndManualScrolling) {
    AppState& state = playing(50, PrompterMode::classic);
    frames(2);
    state.restart();
    EXPECT_EQ(state.wordPosition() + surface_->scrollY(), 0);
    EXPECT_EQ(state.playback.get(), PlaybackState::playing) << "goes on from the top";
    state.pause();
    frames(1);
    EXPECT_EQ(state.wordPosition(), 0);

    state.setMode(PrompterMode::manual);
    state.scrollManually(-205);
    frames(2);
    EXPECT_EQ(state.currentTokenIndex.get(), 9) << "the word at the reading line";
    EXPECT_EQ(state.wordPosition(), 9);
}

TEST_F(PlaybackTest, WhoeverHearsOfANewWordReadsTheGaugesOfThatWord) {
    // The word index was announced before the position had moved: a restart from the end
    // showed a full bar and no time left.
    AppState& state = playing(100, PrompterMode::classic);
    struct Heard {
        long word;
        double progress, remaining;
        bool operator==(const Heard&) const = default;
    };
    std::vector<Heard> heard;
    auto watch = state.currentTokenIndex.observe([&](long word) {
        heard.push_back({word, state.progress(), state.remainingSeconds()});
    });
    frames(60);
    EXPECT_EQ(state.playback.get(), PlaybackState::stopped);
    heard.clear();
    state.restart();
    state.jumpToToken(99);
    state.setMode(PrompterMode::manual);
    state.scrollManually(205);
    frames(2);
    ASSERT_GT(heard.size(), 3u) << "the scroll passes words";
    for (const Heard& h : heard) {
        const Heard expected{h.word, h.word / 99.0, (100 - h.word) / 2.0};
        EXPECT_EQ(h, expected) << "word " << h.word;
    }
}

TEST_F(PlaybackTest, ALayoutAtANewWidthPutsTheWordBeingReadBackOnTheReadingLineAtOnce) {
    // After the panel was resized the reading line showed other words until playback
    // moved: the scroll kept its old offset while every word had moved.
    AppState& state = makeAttachedState(100);
    state.jumpToToken(40);
    frames(2);
    EXPECT_EQ(surface_->scrollY(), 40.5 * 20);

    surface_->layOut(100, 30);  // wider lines, say: each word 30 pt further down
    state.keepReadingPosition();
    EXPECT_EQ(surface_->scrollY(), 40.5 * 30) << "no easing: the text is redrawn in place";
    EXPECT_EQ(state.scrollEngine().targetY(), 40.5 * 30);
    EXPECT_EQ(state.currentTokenIndex.get(), 40);

    // At the very start the text's top stays on the reading line.
    AppState& fresh = makeAttachedState(100);
    surface_->layOut(100, 30);
    fresh.keepReadingPosition();
    EXPECT_EQ(surface_->scrollY(), 0);
}

TEST_F(PlaybackTest, HoverPausesAndResumesOnlyWhatItPaused) {
    // Each row starts playing; `before` runs with the pointer over the text, then the
    // pointer leaves for the monitor's 0.4 s.
    const struct {
        const char* name;
        void (AppState::*before)();
        PlaybackState afterLeaving;
    } cases[] = {
        {"hover alone", nullptr, PlaybackState::playing},
        {"pause during the hover changes nothing", &AppState::pause, PlaybackState::playing},
        {"play during the hover takes it over", &AppState::play, PlaybackState::playing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppState& state = playing(50, PrompterMode::classic);
        HoverMonitor& hover = *surface_->hoverMonitor();
        hover.mouseEntered();
        EXPECT_TRUE(state.isHovering.get());
        EXPECT_EQ(state.playback.get(), PlaybackState::paused);
        if (c.before) (state.*c.before)();
        hover.mouseExited();
        loop_.advanceBy(0.39);
        EXPECT_EQ(state.playback.get(),
                  c.before == &AppState::play ? PlaybackState::playing : PlaybackState::paused);
        loop_.advanceBy(0.01);
        EXPECT_FALSE(state.isHovering.get());
        EXPECT_EQ(state.playback.get(), c.afterLeaving);
    }
    AppState& state = playing(50, PrompterMode::classic);
    state.pause();
    surface_->hoverMonitor()->mouseEntered();
    surface_->hoverMonitor()->mouseExited();
    loop_.advanceBy(0.4);
    EXPECT_EQ(state.playback.get(), PlaybackState::paused) << "a pause by hand stays";
}

TEST_F(PlaybackTest, VoiceActivatedMovesOnlyWhileSpeakingAndNeverStops) {
    AppState& state = playing(20, PrompterMode::voiceActivated);
    frames(2);
    EXPECT_EQ(state.wordPosition(), 0) << "silent: the text waits";
    hear(true);
    frames(1);
    EXPECT_NEAR(state.wordPosition(), 2, 1e-9);
    loop_.advanceBy(0.5);
    hear(false);
    ASSERT_FALSE(state.isSpeaking.get());
    frames(1);
    EXPECT_NEAR(state.wordPosition(), 2, 1e-9);
    hear(true);
    frames(20);
    EXPECT_EQ(state.wordPosition(), 19);
    EXPECT_EQ(state.playback.get(), PlaybackState::playing);

    state_.reset();
    Prefs::set(Keys::measuredWPM(), std::optional<double>(60.0));
    AppState& measured = playing(20, PrompterMode::voiceActivated, 240);
    hear(true);
    frames(2);
    EXPECT_NEAR(measured.wordPosition(), 2, 1e-9) << "the profile's measured rate wins";
}

TEST_F(PlaybackTest, TheFrameClockRunsOnlyWhileTheReadingCanMove) {
    AppState& state = makeAttachedState(100);
    t_ = 0;
    struct Step {
        const char* name;
        std::function<void()> action;
        bool running;
    } steps[] = {
        {"attached and stopped", [] {}, false},
        {"playing at a constant rate", [&] { state.setMode(PrompterMode::classic), state.play(); },
         true},
        {"paused, the scroll still eases onto its target",
         [&] { frames(1), state.pause(), frames(1.0 / 60); }, true},
        {"at rest", [&] { frames(3); }, false},
        {"a wheel step by hand", [&] { state.scrollManually(-40); }, true},
        {"the hand scroll settled", [&] { frames(3); }, false},
        {"a voice mode listens, playing", [&] { state.setMode(PrompterMode::wordTracking); }, true},
        {"stopped at the last word", [&] { state.jumpToToken(99), state.pause(), frames(3); },
         false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.action();
        EXPECT_EQ(state.scrollEngine().isRunning(), step.running);
    }
}

class WordTrackingTest : public PlaybackTest {
protected:
    AppState& start() {
        Prefs::set(Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
        AppState& state = makeAttachedState(80);
        std::string text;
        for (const auto& word : words_) text += (text.empty() ? "" : " ") + word;
        state.load(text, "seguimiento");
        state.setMode(PrompterMode::wordTracking);
        loop_.runUntilIdle();
        return state;
    }
    // Words first...last of the script heard as one final result, a moment later.
    void say(long first, long last) {
        loop_.advanceBy(0.2);
        engines_.last()->yield(
            {std::vector<std::string>(words_.begin() + first, words_.begin() + last + 1), true,
             std::nullopt, loop_.uptime()});
        loop_.runUntilIdle();
    }

    // Results of `perResult` words every `interval` seconds, the speaker heard talking and
    // the frames running in between, first...last of the script or, with `offScript`, as
    // many words that match nothing. Returns the largest lead of the current word over the
    // word being spoken.
    double read(long first, long last, bool offScript = false) {
        constexpr long perResult = 3;
        constexpr double interval = 1.2;  // 150 words a minute
        double lead = 0;
        for (long i = first; i <= last; i += perResult) {
            std::vector<std::string> words;
            for (long k = i; k < std::min(i + perResult, last + 1); ++k)
                words.push_back(offScript ? "zqx" + std::to_string(k) : words_[std::size_t(k)]);
            loop_.advanceBy(interval);
            engines_.last()->yield({words, true, std::nullopt, loop_.uptime()});
            loop_.runUntilIdle();
            hear(true);
            frames(interval);
            lead = std::max(lead, state_->wordPosition() - static_cast<double>(i));
        }
        return lead;
    }

    std::vector<std::string> words_ = testing::distinctWords(80);
};

TEST_F(WordTrackingTest, MatchesMoveThePositionBothWaysAndAreConsumedOnce) {
    AppState& state = start();
    say(14, 19);
    frames(1.0 / 60);
    EXPECT_EQ(state.wordPosition(), 20) << "the word after the last one heard";
    const double target = state.scrollEngine().targetY();
    state.resetScroll();
    frames(1.0 / 60);
    EXPECT_EQ(state.wordPosition() + state.scrollEngine().targetY(), 0)
        << "a match moves the text once";

    say(12, 17);  // re-reading a little way back
    frames(1.0 / 60);
    EXPECT_EQ(state.currentTokenIndex.get(), 18);
    EXPECT_LT(state.scrollEngine().targetY(), target);
    const double back = state.scrollEngine().targetY();
    say(13, 17);  // the same place again
    frames(1.0 / 60);
    EXPECT_EQ(state.currentTokenIndex.get(), 18);
    EXPECT_EQ(state.scrollEngine().targetY(), back);
}

TEST_F(WordTrackingTest, OnlyALostSpeakerMovesWithoutAMatch) {
    AppState& state = start();
    hear(true);
    frames(1);
    EXPECT_EQ(state.wordPosition(), 0) << "speaking while searching moves nothing";
    for (int i = 0; i < 4; ++i) {
        loop_.advanceBy(1);
        engines_.last()->yield({{"zzxq", "qqxz", "xxzq"}, true, std::nullopt, loop_.uptime()});
        loop_.runUntilIdle();
    }
    ASSERT_EQ(state.matcher().state(), MatchState::lost);
    hear(true);
    frames(0.1);
    EXPECT_NEAR(state.wordPosition(), state.matcher().measuredWPM() / 60 * 0.1, 1e-6);
    frames(0.2);
    EXPECT_EQ(state.matcher().cursor(), state.currentTokenIndex.get()) << "the cursor follows";

    // Talking on without a match goes on at the measured rate (an off-script remark
    // moves the text too); silence holds it.
    const double rate = state.matcher().measuredWPM();
    hear(true);
    frames(2);
    EXPECT_NEAR(state.wordPosition(), rate / 60 * 2.3, 1e-6);
    loop_.advanceBy(1);
    hear(false);
    ASSERT_FALSE(state.isSpeaking.get());
    const double held = state.wordPosition();
    frames(1);
    EXPECT_EQ(state.wordPosition(), held);
    say(12, 17);  // back on the script, a little behind the reckoned position
    frames(1.0 / 60);
    EXPECT_EQ(state.wordPosition(), 18);
    EXPECT_EQ(state.matcher().state(), MatchState::locked);
}

TEST_F(WordTrackingTest, AnOffScriptRemarkLeavesTheReaderWithinReach) {
    AppState& state = start();
    read(0, 11);
    ASSERT_EQ(state.wordPosition(), 12);
    const long confirmed = state.matcher().confirmed();
    read(0, 29, true);  // about ten seconds off the script
    ASSERT_EQ(state.matcher().state(), MatchState::lost);
    const long reach = confirmed + state.matcher().config().recoverBack;
    EXPECT_EQ(state.wordPosition(), reach) << "the text waits for the reader";
    EXPECT_EQ(state.matcher().cursor(), reach);

    read(12, 17);  // back where they left
    EXPECT_EQ(state.wordPosition(), 18);
    EXPECT_EQ(state.matcher().state(), MatchState::locked);
}

TEST_F(WordTrackingTest, ARereadOfTwentyWordsIsFollowedAgainWhereItEnds) {
    AppState& state = start();
    read(0, 35);
    ASSERT_EQ(state.wordPosition(), 36);
    read(16, 35);  // the last twenty words again
    const double lead = read(36, 47);
    EXPECT_EQ(state.wordPosition(), 48);
    EXPECT_EQ(state.matcher().state(), MatchState::locked);
    EXPECT_LE(lead, state.matcher().config().recoverBack);
}

TEST_F(WordTrackingTest, AMatchPendingWhenAnotherTextLoadsIsDropped) {
    // A match in the old text used to move the newly loaded one to the old position on
    // the next frame; a new text starts at its first word.
    AppState& state = start();
    say(10, 15);
    state.load("uno dos tres cuatro", "nuevo");
    frames(1.0 / 60);
    EXPECT_EQ(state.wordPosition(), 0);
}

}  // namespace
}  // namespace vorela
