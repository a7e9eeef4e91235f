#include <gtest/gtest.h>

#include "App/AppDelegate.h"
#include "App/AppScenes.h"
#include "App/LaunchRequest.h"
#include "AppStateEnvironment.h"
#include "Platform/Ipc/Fake/FakeSingleInstance.h"
#include "Script/Importers/ImportFile.h"
#include "Script/Script.h"
#include "Support/FakePanelController.h"
#include "Support/RecordingLogSink.h"

namespace vorela::testing {
namespace {

class AppDelegateTest : public AppStateTest {
protected:
    void SetUp() override { previousSink_ = Log::setSink(log_); }
    void TearDown() override { Log::setSink(previousSink_); }

    AppDelegate makeDelegate() {
        AppState& state = makeState();
        state.load("uno dos tres", "inicial");
        // The fixture owns the state; the delegate only ever holds it weakly.
        shared_ = std::shared_ptr<AppState>(&state, [](AppState*) {});
        return AppDelegate(shared_, panel_);
    }

    std::shared_ptr<AppState> shared_;
    std::shared_ptr<FakePanelController> panel_ = std::make_shared<FakePanelController>();
    std::shared_ptr<RecordingLogSink> log_ = std::make_shared<RecordingLogSink>();
    std::shared_ptr<LogSink> previousSink_;
};

TEST_F(AppDelegateTest, ReadUrlsLoadTheirTextOrLeaveEverythingAsItWas) {
    struct Case {
        const char* name;
        const char* url;
        const char* text;  // nullptr: nothing loaded
        const char* title;
        bool logs;
    };
    const Case cases[] = {
        {"text, default title", "prompter://read?text=Hola%20mundo", "Hola mundo", "Guion recibido",
         false},
        {"text and title", "prompter://read?text=Hola&title=Mi%20guion", "Hola", "Mi guion", false},
        {"empty title stays empty", "prompter://read?text=Hola&title=", "Hola", "", false},
        {"title without value takes the default", "prompter://read?text=Hola&title", "Hola",
         "Guion recibido", false},
        {"first text wins, cleaned", "prompter://read?text=%E2%80%9Cs%C3%AD%E2%80%9D%20&text=b",
         "\"sí\"", "Guion recibido", false},
        {"only a title", "prompter://read?title=x", nullptr, nullptr, false},
        {"text without value", "prompter://read?text", nullptr, nullptr, false},
        {"empty text", "prompter://read?text=", nullptr, nullptr, false},
        // Regression: white space loaded a blank script and showed an empty panel.
        {"only white space", "prompter://read?text=%20%0A%09%C2%A0", nullptr, nullptr, true},
        // A bad link did nothing and said nothing anywhere; the log now says why.
        {"malformed escape", "prompter://read?text=100%25%2", nullptr, nullptr, true},
        {"another scheme", "https://read?text=x", nullptr, nullptr, false},
        {"host in capitals", "prompter://READ?text=x", nullptr, nullptr, true},
        {"no host", "prompter:read?text=x", nullptr, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppDelegate delegate = makeDelegate();
        panel_->showCount = 0;
        log_->clear();
        delegate.open({c.url});
        if (c.text) {
            EXPECT_EQ(shared_->scriptText.get(), c.text);
            EXPECT_EQ(shared_->scriptTitle.get(), c.title);
            EXPECT_EQ(panel_->showCount, 1);
        } else {
            EXPECT_EQ(shared_->scriptText.get(), "uno dos tres");
            EXPECT_EQ(panel_->showCount, 0);
        }
        EXPECT_EQ(!log_->messages("app").empty(), c.logs);
    }
}

TEST_F(AppDelegateTest, UnknownHostsAreLoggedWithTheWholeUrl) {
    AppDelegate delegate = makeDelegate();
    delegate.open({"prompter://stop?x=1"});
    EXPECT_EQ(log_->messages("app"),
              (std::vector<std::string>{"URL no reconocida: prompter://stop?x=1"}));
}

// Regression: a "read" URL of any size was tokenised whole; a page could hand us
// gigabytes. It is refused like an imported file over the same bound.
TEST_F(AppDelegateTest, AReadUrlOverTheImportBoundIsRefusedAndLogged) {
    AppDelegate delegate = makeDelegate();
    const std::string tooLong(ImportFile::kMaxImportFileSize + 1, 'a');
    delegate.open({"prompter://read?text=" + tooLong});
    EXPECT_EQ(shared_->scriptText.get(), "uno dos tres");
    EXPECT_EQ(panel_->showCount, 0);
    ASSERT_EQ(log_->messages("app").size(), 1u);
    EXPECT_NE(log_->messages("app")[0].find("rechazado"), std::string::npos);
}

TEST_F(AppDelegateTest, PlayAndPauseUrlsRunInOrderAndPlayLeavesManualForTheDefaultMode) {
    struct Case {
        const char* name;
        PrompterMode defaultMode;
        PrompterMode modeBefore;
        PrompterMode modeAfter;
        bool microphoneAfter;
    };
    const Case cases[] = {
        {"manual, constant-rate default", PrompterMode::classic, PrompterMode::manual,
         PrompterMode::classic, false},
        // The mode changes as if chosen by hand, so a voice default starts its audio.
        {"manual, voice default", PrompterMode::wordTracking, PrompterMode::manual,
         PrompterMode::wordTracking, true},
        {"already following the voice", PrompterMode::wordTracking, PrompterMode::voiceActivated,
         PrompterMode::voiceActivated, true},
        {"classic stays classic", PrompterMode::wordTracking, PrompterMode::classic,
         PrompterMode::classic, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prefs::set(Prefs::Keys::defaultMode(), c.defaultMode);
        AppDelegate delegate = makeDelegate();
        shared_->setMode(c.modeBefore);
        loop_.runUntilIdle();
        shared_->pause();  // a voice mode starts playing; the URL decides from here
        delegate.open({"prompter://play"});
        loop_.runUntilIdle();
        EXPECT_EQ(shared_->mode.get(), c.modeAfter);
        EXPECT_EQ(shared_->playback.get(), PlaybackState::playing);
        EXPECT_EQ(audio_->isRunning(), c.microphoneAfter);
        shared_->setMode(PrompterMode::manual);
        loop_.runUntilIdle();
    }
    Prefs::set(Prefs::Keys::defaultMode(), PrompterMode::classic);
    AppDelegate delegate = makeDelegate();
    delegate.open({"prompter://pause", "https://play", "prompter://play", "prompter://pause"});
    EXPECT_EQ(shared_->playback.get(), PlaybackState::paused);
}

TEST_F(AppDelegateTest, TargetsThatAreGoneSkipOnlyTheirStep) {
    AppDelegate stateless(std::weak_ptr<AppState>{}, panel_);
    stateless.open({"prompter://read?text=hola", "prompter://play"});
    EXPECT_EQ(panel_->showCount, 1);
    AppDelegate panelless = makeDelegate();
    panel_.reset();
    panelless.open({"prompter://read?text=hola"});
    EXPECT_EQ(shared_->scriptText.get(), "hola");
}

TEST_F(AppDelegateTest, SelectedTextLoadsAsTextoSeleccionadoOrReportsThatThereWasNone) {
    struct Case {
        const char* name;
        std::optional<std::string> selection;
        bool loads;
    };
    const Case cases[] = {
        {"text", "  Buenas tardes\r\n", true},
        {"nothing selected", std::nullopt, false},
        {"empty", "", false},
        // Regression: a selection of only spaces and line breaks loaded a blank script.
        {"only white space", " \n\t\u00a0\u3000", false},
        {"only bullets and slide headings", "•\nSlide 2:\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppDelegate delegate = makeDelegate();
        panel_->showCount = 0;
        const auto error = delegate.readInVorela(c.selection);
        if (c.loads) {
            EXPECT_EQ(error, std::nullopt);
            EXPECT_EQ(shared_->scriptText.get(), "Buenas tardes");
            EXPECT_EQ(shared_->scriptTitle.get(), "Texto seleccionado");
        } else {
            EXPECT_EQ(error, "No había texto seleccionado.");
            EXPECT_EQ(shared_->scriptText.get(), "uno dos tres");
        }
        EXPECT_EQ(panel_->showCount, c.loads ? 1 : 0);
    }
}

TEST_F(AppDelegateTest, ASecondStartHandsItsRequestToTheFirstAndItRunsThere) {
    struct NoWindows final : WindowPresenter {
        void activateForWindow() override {}
        void open(WindowId id, bool) override { opened.push_back(id); }
        void dismiss(WindowId) override {}
        void terminate() override {}
        std::vector<WindowId> opened;
    } windows;
    AppScenes scenes(windows, true);
    AppDelegate delegate = makeDelegate();
    std::vector<std::optional<std::string>> userTexts;
    FakeInstanceBus bus(loop_);
    FakeSingleInstance first(bus), second(bus), third(bus);
    ASSERT_EQ(first.claim([&](InstanceMessage m) {
        userTexts.push_back(LaunchRequest::handle(m, delegate, scenes));
    }),
              InstanceRole::primary);
    ASSERT_EQ(second.claim({}), InstanceRole::secondary);

    const auto url = LaunchRequest::fromArguments({"vorela", "prompter://read?text=Desde%20otro"},
                                                  [] { return std::optional<std::string>("x"); });
    EXPECT_EQ(second.handOff(url), std::nullopt);
    loop_.runUntilIdle();
    EXPECT_EQ(shared_->scriptText.get(), "Desde otro");

    const auto selection = LaunchRequest::fromArguments(
        {"vorela", LaunchRequest::kReadSelectionArgument}, [] { return std::nullopt; });
    EXPECT_EQ(selection, (InstanceMessage{InstanceMessage::Kind::readText, ""}));
    EXPECT_EQ(third.handOff(selection), std::nullopt);
    EXPECT_EQ(third.handOff(LaunchRequest::fromArguments({"vorela"}, {})), std::nullopt);
    loop_.runUntilIdle();
    EXPECT_EQ(userTexts, (std::vector<std::optional<std::string>>{
                             std::nullopt, "No había texto seleccionado.", std::nullopt}));
    EXPECT_EQ(windows.opened, std::vector<WindowId>{WindowId::main});
    EXPECT_NE(first.handOff(url), std::nullopt);  // the primary has nobody to hand to
}

TEST_F(AppDelegateTest, ASelectionOverTheScriptBoundIsRefusedAndTheUserTold) {
    // It was loaded from this start's own selection, and dropped with a log line only
    // when a later start had it: the user now hears why, as from an import.
    struct NoWindows final : WindowPresenter {
        void activateForWindow() override {}
        void open(WindowId, bool) override {}
        void dismiss(WindowId) override {}
        void terminate() override {}
    } windows;
    AppScenes scenes(windows, true);
    AppDelegate delegate = makeDelegate();
    const InstanceMessage huge{InstanceMessage::Kind::readText,
                               std::string(Script::kMaxBodySize + 1, 'a')};
    const std::string expected = "El texto seleccionado ocupa más de 50 MB; no se puede leer.";
    EXPECT_EQ(LaunchRequest::refusal(huge), expected);
    EXPECT_EQ(LaunchRequest::handle(huge, delegate, scenes), expected);
    EXPECT_TRUE(shared_->scriptText.get() == "uno dos tres") << "the text was loaded";
    EXPECT_EQ(panel_->showCount, 0);
    EXPECT_EQ(LaunchRequest::refusal({InstanceMessage::Kind::readText, "hola"}), std::nullopt);
}

TEST(InstanceMessageTest, EncodingRoundTripsAndRefusesAnythingElse) {
    const InstanceMessage messages[] = {
        {InstanceMessage::Kind::activate, ""},
        {InstanceMessage::Kind::openUrl, "prompter://play"},
        {InstanceMessage::Kind::readText, "línea 1\nlínea 2\n"},
        {InstanceMessage::Kind::readText, ""},
    };
    for (const auto& m : messages) {
        SCOPED_TRACE(m.encoded());
        EXPECT_EQ(InstanceMessage::decoded(m.encoded()), m);
    }
    for (const char* bad : {"", "url", "open\nx", "activate\nx"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(InstanceMessage::decoded(bad), std::nullopt);
    }
}

}  // namespace
}  // namespace vorela::testing
