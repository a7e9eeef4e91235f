#include "App/AppState.h"
#include "App/AppStateEnvironment.h"
#include "Script/Bookmark.h"
#include "Script/SampleScript.h"
#include "Script/Script.h"
#include "Script/ScriptLibrary.h"

namespace vorela {
namespace {

namespace Keys = Prefs::Keys;
using testing::AppStateTest;

TEST_F(AppStateTest, AFreshStateHoldsTheSampleScriptAndStartsNothing) {
    Prefs::set(Keys::measuredWER(), std::optional<double>(0.4));
    AppState& state = makeState();
    EXPECT_EQ(state.scriptTitle.get(), "Guion de ejemplo");
    EXPECT_EQ(state.scriptText.get(), SampleScript::text());
    EXPECT_EQ(state.matcher().tokenCount(), static_cast<long>(state.tokens.get().size()));
    EXPECT_EQ(state.matcher().config(), VoiceProfile::current().tuned(MatcherConfig{}));
    EXPECT_EQ(state.mode.get(), PrompterMode::manual);
    EXPECT_EQ(state.playback.get(), PlaybackState::stopped);
    EXPECT_EQ(state.wpm.get(), 140);
    EXPECT_FALSE(state.scrollEngine().hasDisplayLink());
    EXPECT_EQ(audio_->startCount() + audio_->permissionPromptCount(), 0);
}

TEST_F(AppStateTest, TheRateIsClampedWhenReadAndWhenSet) {
    const struct {
        const char* name;
        PropertyList value;
        double expected;
    } cases[] = {
        {"in range", PropertyList(200.0), 200},   {"too fast", PropertyList(300.0), 260},
        {"too slow", PropertyList(10.0), 60},     {"not a number", PropertyList(std::nan("")), 60},
        {"infinite", PropertyList(HUGE_VAL), 60}, {"a text", PropertyList("rápido"), 140},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A stored rate that was not a finite number used to reach the frame loop as a
        // NaN, freezing the constant mode; it reads as the slowest rate, 60.
        defaults_->set("wpm", c.value);
        EXPECT_EQ(makeState().wpm.get(), c.expected);
        const double* assigned = c.value.real();
        if (!assigned) continue;
        state_->setWpm(140);
        state_->setWpm(*assigned);
        EXPECT_EQ(state_->wpm.get(), c.expected);
        EXPECT_EQ(Prefs::get(Keys::wpm()), c.expected);
    }
    int notifications = 0;
    auto watch = state_->wpm.observe([&](double) { ++notifications; });
    defaults_->remove("wpm");
    state_->setWpm(state_->wpm.get());
    EXPECT_EQ(notifications, 0);
    EXPECT_TRUE(defaults_->object("wpm")) << "an equal assignment is stored all the same";
}

TEST_F(AppStateTest, LoadingATextTokenisesItAndReturnsToTheTopWithoutStopping) {
    AppState& state = makeAttachedState(40);
    state.jumpToToken(30);
    surface_->runFrames(0, 2);
    state.setMode(PrompterMode::classic);
    state.play();
    int notifications = 0;
    std::weak_ptr<const std::vector<Token>> previous = state.tokens.get().list;
    bool previousWasGone = false;
    auto watch = state.tokens.observe([&](const ScriptTokens& words) {
        ++notifications;
        if (!words.empty()) previousWasGone = previous.expired();
    });

    state.load(std::string("uno \xff tres"), "Otro");
    // Two scripts' words at once were the peak of loading a long text over another.
    EXPECT_TRUE(previousWasGone) << "the previous words went before the new ones came";
    // Outside word tracking no recogniser needs the words' script, as large as the words.
    EXPECT_EQ(state.voice().script(), nullptr);
    EXPECT_EQ(state.scriptText.get(), "uno \xEF\xBF\xBD tres") << "kept as the tokens address it";
    EXPECT_EQ(state.scriptTitle.get(), "Otro");
    ASSERT_EQ(state.tokens.get().size(), 2u);
    EXPECT_EQ(state.matcher().sharedTokens(), state.tokens.get().list);
    EXPECT_EQ(state.currentTokenIndex.get() + state.wordPosition() + state.matcher().cursor(), 0);
    EXPECT_EQ(state.scrollEngine().targetY() + surface_->scrollY(), 0);
    EXPECT_EQ(state.playback.get(), PlaybackState::playing);
    notifications = 0;
    state.load(state.scriptText.get(), "Igual");
    EXPECT_EQ(notifications, 0) << "equal words notify nobody";
}

TEST_F(AppStateTest, ThePasteboardLoadsOnlyRealTextAndUntrimmed) {
    AppState& state = makeState();
    const struct {
        const char* name;
        std::optional<std::string> text;
    } cases[] = {{"no text", std::nullopt}, {"blank", "  \n\t\r\n "}, {"a word", "  hola \n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.load("previo", "Previo");
        pasteboard_.setString(c.text);
        const bool loads = std::string(c.name) == "a word";
        EXPECT_EQ(state.loadFromPasteboard(), loads);
        EXPECT_EQ(state.scriptText.get(), loads ? *c.text : "previo");
        EXPECT_EQ(state.scriptTitle.get(), loads ? "Guion pegado" : "Previo");
    }
}

TEST_F(AppStateTest, APasteboardOfUnicodeSpacesIsNoText) {
    // Bug: a pasteboard of no-break, ideographic or line-separator spaces replaced the script
    // with a text of no words and returned true. They are white space: nothing is left.
    AppState& state = makeState();
    state.load("previo", "Previo");
    pasteboard_.setString(std::string("\u00A0 \u3000\u2028\u0085\t"));
    EXPECT_FALSE(state.loadFromPasteboard());
    EXPECT_EQ(state.scriptText.get(), "previo");
    EXPECT_EQ(state.scriptTitle.get(), "Previo");
}

class AppStateLibraryTest : public AppStateTest {
protected:
    std::shared_ptr<Script> makeScript(const std::string& locale, std::optional<double> wpm,
                                       std::vector<long> marks = {}) {
        auto script = library_.create("Del archivo", numberedWords(40));
        script->setLocaleIdentifier(locale);
        script->setPreferredWPM(wpm);
        for (long index : marks) {
            auto bookmark = Bookmark::make(index, "marca");
            library_.container()->mainContext().insert(bookmark);
            bookmark->setScript(script);
        }
        return script;
    }

    ScriptLibrary library_{true, loop_.clock()};
};

TEST_F(AppStateLibraryTest, ARecordBringsItsLocaleRateAndBookmarks) {
    Prefs::set(Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
    AppState& state = makeAttachedState(40);
    const auto script = makeScript("en-GB", 400, {25, 5, 15});
    // A record in another language switched the locale first and so keyed the previous
    // text again before its own: its words are keyed once, in their language.
    state.load(numberedWords(40, "otra"), "Otra");
    int published = 0;
    auto watch = state.tokens.observe([&](const ScriptTokens& words) {
        if (!words.empty()) ++published;  // the previous words are let go first
    });
    state.load(script);
    EXPECT_EQ(published, 1);
    EXPECT_EQ(state.tokens.get()->front().phon,
              Tokenizer::englishPhonetic(state.tokens.get()->front().norm));
    EXPECT_EQ(state.activeScript.get(), script);
    EXPECT_EQ(state.transcriptionLocale(), TranscriptionLocale::englishUK);
    EXPECT_EQ(Prefs::get(Keys::wpm()), 260);
    const struct {
        bool forward;
        long expected;
    } steps[] = {{true, 5},   {true, 15}, {true, 25}, {true, 25},
                 {false, 15}, {false, 5}, {false, 5}};
    for (const auto& step : steps) {
        step.forward ? state.jumpToNextBookmark() : state.jumpToPreviousBookmark();
        EXPECT_EQ(state.currentTokenIndex.get(), step.expected);
    }
}

TEST_F(AppStateLibraryTest, OnlyARecordIsTheActiveScript) {
    // Pasted text used to leave the previous record active, so the bookmark keys walked
    // another script's bookmarks; loading anything but a record clears it.
    AppState& state = makeAttachedState(40);
    const auto script = makeScript("es-ES", std::nullopt, {10});
    state.load(script);
    pasteboard_.setString(numberedWords(40, "pegada"));
    ASSERT_TRUE(state.loadFromPasteboard());
    EXPECT_EQ(state.activeScript.get(), nullptr);
    state.jumpToNextBookmark();
    EXPECT_EQ(state.currentTokenIndex.get(), 0);

    state.load(script);
    state.forgetDeletedScript(script);
    EXPECT_EQ(state.activeScript.get(), nullptr) << "a deleted record stops being active";
    EXPECT_EQ(state.scriptTitle.get(), "Del archivo") << "its text stays";
}

TEST_F(AppStateTest, ALanguageSwitchRetokenisesWithoutMovingTheReader) {
    Prefs::set(Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
    AppState& state = makeAttachedState(9);
    state.load("Cinco gatos comen queso en la cocina del hotel", "idioma");
    state.jumpToToken(6);
    surface_->runFrames(0, 2);
    const double scroll = surface_->scrollY();
    const auto spanish = state.tokens.get().list;
    int notifications = 0;
    auto watch = state.tokens.observe([&](const ScriptTokens&) { ++notifications; });

    state.setTranscriptionLocale(TranscriptionLocale::spanishSpain);
    EXPECT_EQ(notifications, 0) << "the stored locale changes nothing";
    state.setTranscriptionLocale(TranscriptionLocale::englishUS);
    EXPECT_EQ(Prefs::get(Keys::transcriptionLocale()), TranscriptionLocale::englishUS);
    EXPECT_EQ((*state.tokens.get())[1].phon, Tokenizer::englishPhonetic("gatos"));
    EXPECT_NE((*state.tokens.get())[1].phon, (*spanish)[1].phon);
    EXPECT_EQ(state.matcher().sharedTokens(), state.tokens.get().list);
    EXPECT_EQ(state.matcher().cursor(), 0);
    EXPECT_EQ(state.wordPosition(), 6);
    EXPECT_EQ(surface_->scrollY(), scroll);
}

TEST_F(AppStateTest, SensitivityIsClampedSavedAndMovesTheThresholds) {
    Prefs::set(Keys::noiseFloor(), -44.0);
    AppState& state = makeState();
    const struct {
        double assigned, stored, open, close;
    } cases[] = {{50, 50, 12, 6}, {150, 100, 4, 3}, {-5, 0, 20, 14}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.assigned);
        state.setMicSensitivity(c.assigned);
        EXPECT_EQ(Prefs::get(Keys::micSensitivity()), c.stored);
        EXPECT_EQ(state.micSensitivity(), c.stored);
        const auto config = state.voice().vad().config();
        EXPECT_EQ(config.noiseFloor, -44);
        EXPECT_DOUBLE_EQ(config.openOffset, c.open);
        EXPECT_DOUBLE_EQ(config.closeOffset, c.close);
    }
}

TEST_F(AppStateTest, JumpsOutOfRangeAndTheSameModeTwiceDoNothing) {
    AppState& state = makeAttachedState(10);
    state.jumpToToken(4);
    const double target = state.scrollEngine().targetY();
    for (long index : {10L, -1L}) {
        state.jumpToToken(index);
        EXPECT_EQ(state.wordPosition() + state.matcher().cursor(), 8);
        EXPECT_EQ(state.scrollEngine().targetY(), target);
    }
    state.setMode(PrompterMode::manual);
    state.setMode(PrompterMode::classic);
    state.setMode(PrompterMode::classic);
    const auto records = telemetryRecords("mode");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]["mode"], "classic");
}

TEST_F(AppStateTest, TheWheelLeavesTheVoiceModesAndKeepsTheTargetWithinTheText) {
    AppState& state = makeAttachedState(10);  // 200 pt of text at font size 28
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    ASSERT_TRUE(audio_->isRunning());
    const struct {
        const char* name;
        double delta, target;
    } cases[] = {
        {"past the end stops half a line before it", -1000, 200 - 14},
        {"a step back towards the top", 50, 136},
        {"past the top stops at 0", 1000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.scrollManually(c.delta);
        EXPECT_EQ(state.scrollEngine().targetY(), c.target);
    }
    EXPECT_EQ(state.mode.get(), PrompterMode::manual);
    EXPECT_FALSE(audio_->isRunning()) << "the wheel ends listening";
}

TEST_F(AppStateTest, AttachingStartsTheFrameClockOnceAndMovesHoverToTheNewView) {
    AppState& state = makeAttachedState(10);
    auto second = std::make_shared<FakeTextSurface>(10);
    state.attach(second);
    EXPECT_EQ(second->linksMade() + surface_->linksMade(), 1);
    EXPECT_EQ(surface_->hoverMonitor(), nullptr);
    EXPECT_EQ(second->hoverMonitor().get(), &state.hoverMonitor());
    state_.reset();
    EXPECT_EQ(second->hoverMonitor(), nullptr) << "no dangling monitor once the state is gone";
}

}  // namespace
}  // namespace vorela
