#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Utf8.h"
#include "Platform/Speech/Linux/PocketSphinxAnalyzer.h"
#include "Platform/Speech/Linux/ScriptedProgram.h"
#include "Platform/Speech/Linux/SpokenAudio.h"
#include "Support/ChildProcesses.h"

namespace vorela {
namespace {

using Words = std::vector<std::string>;

SpeechScript scriptOf(const std::string& locale, const Words& words) {
    SpeechScript script{locale, {}};
    for (const auto& w : words) script.words.push_back({CompactString(w), CompactString(w), {}});
    return script;
}

Words split(const std::string& text) {
    Words words;
    std::string w;
    for (char c : text + " ") {
        if (c == ' ') {
            if (!w.empty()) words.push_back(std::exchange(w, {}));
        } else {
            w += c;
        }
    }
    return words;
}

// A real decoder process fed with synthetic speech; collects every result.
class PocketSphinxAnalyzerTest : public ::testing::Test {
protected:
    PocketSphinxAnalyzer::Config config(
        double garbage = PocketSphinxAnalyzer::kDefaultGarbageWeight) {
        return {VORELA_DECODER_PROGRAM, SpeechModelLocator::standard(VORELA_DECODER_FOLDER),
                [](const std::string& l) { return "sin modelo " + l; }, garbage};
    }

    void startRun(PocketSphinxAnalyzer& analyzer, const std::string& locale) {
        auto started = analyzer.start(
            locale,
            [this](const SpeechAnalyzerResult& r) {
                std::lock_guard guard(mutex_);
                ++callbacks_;
                Words words;
                for (const auto& run : r.runs) words.push_back(split(run.text).at(0));
                if (r.isFinal) {
                    heard_.insert(heard_.end(), words.begin(), words.end());
                    ++finals_;
                    changed_.notify_all();
                } else {
                    partial_ = words;
                }
            },
            [this](const std::string& failure) {
                std::lock_guard guard(mutex_);
                ++callbacks_;
                failures_.push_back(failure);
                changed_.notify_all();
            });
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<SpeechAnalyzerRun>>(started));
        run_ = std::move(std::get<std::unique_ptr<SpeechAnalyzerRun>>(started));
    }

    void feed(const std::vector<float>& samples, std::size_t from = 0, std::size_t to = SIZE_MAX) {
        to = std::min(to, samples.size());
        for (std::size_t at = from; at < to; at += 1024) {
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(1024, to - at));
            auto buffer = AudioBuffer::make({16000, 1}, n);
            std::copy_n(samples.begin() + at, n, buffer->mutableChannelData(0));
            run_->append(buffer);
        }
    }

    // Everything heard once the run has finished. Pauses close results of their own
    // before that: the run's own end is the final that follows them.
    Words finishAndCollect(PocketSphinxAnalyzer& analyzer) {
        EXPECT_TRUE(analyzer.waitUntilDecoded(20));
        int before = 0;
        {
            std::lock_guard guard(mutex_);
            before = finals_;
        }
        run_->finish();
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(20), [&] { return finals_ > before; });
        return heard_;
    }

    // An analyser with the English script whose user models lie in the data folder `data`.
    std::shared_ptr<PocketSphinxAnalyzer> englishAnalyzerOver(const std::filesystem::path& data);

    // Waits for the run's first failure, at most `seconds`.
    bool waitForFailure(double seconds) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::duration<double>(seconds),
                                 [&] { return !failures_.empty(); });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int callbacks_ = 0;
    Words heard_;
    Words partial_;
    int finals_ = 0;
    Words failures_;
    std::unique_ptr<SpeechAnalyzerRun> run_;
};

const std::string kSpanish =
    "el viento del norte trajo la lluvia a la ciudad y los niños corrieron a sus casas "
    "mientras el panadero cerraba la tienda";
const std::string kEnglish =
    "the northern wind brought the rain to the city and the children ran home while the "
    "baker closed his shop";

TEST_F(PocketSphinxAnalyzerTest, AReadingComesBackAsTheScriptsWordsInOrder) {
    struct Case {
        const char* name;
        std::string locale, text, voice;
        double noise;
    };
    const Case cases[] = {
        {"Spanish, with a noise floor", "es-ES", kSpanish, "es", 0.08},
        {"English", "en-US", kEnglish, "en-us", 0.002},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        heard_.clear();
        finals_ = 0;
        auto owned = std::make_shared<PocketSphinxAnalyzer>(config());
        auto& analyzer = *owned;
        analyzer.setScript(std::make_shared<SpeechScript>(scriptOf(c.locale, split(c.text))));
        startRun(analyzer, c.locale);
        const auto audio = testing::SpokenAudio::say(c.text, c.voice, c.noise);
        ASSERT_FALSE(audio.empty());
        feed(audio);
        const Words heard = finishAndCollect(analyzer);
        const Words expected = split(c.text);
        // In order: the longest common subsequence covers nearly every word.
        std::vector<std::vector<int>> lcs(heard.size() + 1, std::vector<int>(expected.size() + 1));
        for (std::size_t i = 1; i <= heard.size(); ++i)
            for (std::size_t j = 1; j <= expected.size(); ++j)
                lcs[i][j] = heard[i - 1] == expected[j - 1]
                                ? lcs[i - 1][j - 1] + 1
                                : std::max(lcs[i - 1][j], lcs[i][j - 1]);
        EXPECT_GE(lcs[heard.size()][expected.size()], int(expected.size() * 0.85))
            << ::testing::PrintToString(heard);
        EXPECT_LE(heard.size(), expected.size() + 2);
    }
}

// The library aborts the process on an internal assertion now and then. Here the decoder
// process dies mid-reading: the application goes on, the words heard so far close the
// utterance, and a new decoder with the same model hears the rest.
TEST_F(PocketSphinxAnalyzerTest, ADecoderThatAbortsMidReadingIsRestartedAndKeepsFollowing) {
    auto owned = std::make_shared<PocketSphinxAnalyzer>(config());
    auto& analyzer = *owned;
    analyzer.setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    startRun(analyzer, "en-US");
    const auto audio = testing::SpokenAudio::say(kEnglish, "en-us", 0.002);
    ASSERT_FALSE(audio.empty());
    const std::size_t middle = audio.size() / 2;
    feed(audio, 0, middle);
    ASSERT_TRUE(analyzer.waitUntilDecoded(20));
    int before = 0;
    {
        std::lock_guard guard(mutex_);
        before = finals_;
    }
    analyzer.abortDecoderForTesting();
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(20), [&] { return finals_ > before; });
    }
    const Words beforeAbort = heard_;
    EXPECT_GE(beforeAbort.size(), 5u);
    feed(audio, middle);
    const Words heard = finishAndCollect(analyzer);
    EXPECT_EQ(analyzer.decoderStarts(), 2);
    EXPECT_GT(heard.size(), beforeAbort.size() + 5);
    EXPECT_EQ(heard.back(), "shop");
}

// The script changes while the reader talks: the new script's words come out, and no
// audio fed around the change is lost.
TEST_F(PocketSphinxAnalyzerTest, AScriptChangeWhileTranscribingTakesEffectWithoutDroppingAudio) {
    auto owned = std::make_shared<PocketSphinxAnalyzer>(config());
    auto& analyzer = *owned;
    analyzer.setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    startRun(analyzer, "en-US");
    const std::string other = "seven green bottles standing on the wall";
    analyzer.setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(other))));
    feed(testing::SpokenAudio::say(other, "en-us", 0.002));
    const Words heard = finishAndCollect(analyzer);
    EXPECT_EQ(heard, split(other));
}

// Without the phone loop an ad-lib is forced into script words, often real script word
// pairs that make the matcher jump. With it, only stray short words come out, never a
// run of script words the matcher could take for the reader.
TEST_F(PocketSphinxAnalyzerTest, AnOffScriptRemarkYieldsNoScriptWords) {
    auto owned =
        std::make_shared<PocketSphinxAnalyzer>(config(PocketSphinxAnalyzer::kDefaultGarbageWeight));
    auto& analyzer = *owned;
    analyzer.setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    startRun(analyzer, "en-US");
    feed(testing::SpokenAudio::say("please excuse me for a moment my phone is ringing again",
                                   "en-us", 0.002));
    const Words heard = finishAndCollect(analyzer);
    const Words script = split(kEnglish);
    EXPECT_LE(heard.size(), 5u) << ::testing::PrintToString(heard);  // of 11 words said
    // The matcher moves on three agreeing words: no three come out in the script's order.
    for (std::size_t i = 2; i < heard.size(); ++i) {
        for (std::size_t j = 2; j < script.size(); ++j) {
            EXPECT_FALSE(heard[i - 2] == script[j - 2] && heard[i - 1] == script[j - 1] &&
                         heard[i] == script[j])
                << ::testing::PrintToString(heard);
        }
    }
}

// Options the decoder refused (a repeated or unknown one) left it without a model: it
// ignored every block in silence, so a caller waiting for the audio to be decoded hung.
// The run now fails with the reason and the audio is dropped.
TEST_F(PocketSphinxAnalyzerTest, RefusedDecoderOptionsFailTheRunInsteadOfHanging) {
    const struct {
        const char* name;
        std::string options;
    } cases[] = {
        {"an option repeated", config().decoderOptions + " -lw 8"},
        {"an unknown option", "-no_such_option 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        failures_.clear();
        auto settings = config();
        settings.decoderOptions = c.options;
        auto analyzer = std::make_shared<PocketSphinxAnalyzer>(settings);
        analyzer->setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
        startRun(*analyzer, "en-US");
        feed(testing::SpokenAudio::say("the northern wind", "en-us", 0.002));
        EXPECT_TRUE(analyzer->waitUntilDecoded(20));
        {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::seconds(20), [&] { return !failures_.empty(); });
        }
        EXPECT_EQ(
            failures_,
            Words{"El decodificador no cargó el modelo: opciones del decodificador no válidas"});
        EXPECT_EQ(analyzer->modelFailure(), "opciones del decodificador no válidas");
        feed(testing::SpokenAudio::say("the northern wind", "en-us", 0.002));
        EXPECT_TRUE(analyzer->waitUntilDecoded(20));  // later audio is dropped, not queued
        run_->finish();
        EXPECT_TRUE(heard_.empty());
    }
}

// The replay tool took the decoder's peak from the rusage of children, which counts the
// parent's memory at the spawn: it reported the parent's 340 MB for a decoder of 20 MB.
TEST_F(PocketSphinxAnalyzerTest, DecoderPeakMemoryIsTheDecodersOwn) {
    constexpr std::size_t kParentBytes = 128u << 20;
    std::vector<char> parentMemory(kParentBytes);
    std::fill(parentMemory.begin(), parentMemory.end(), 1);  // resident, not just reserved
    auto analyzer = std::make_shared<PocketSphinxAnalyzer>(config());
    EXPECT_FALSE(analyzer->decoderPeakMemoryKB());
    analyzer->setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    startRun(*analyzer, "en-US");
    feed(testing::SpokenAudio::say("the northern wind", "en-us", 0.002));
    ASSERT_TRUE(analyzer->waitUntilDecoded(20));
    const auto peakKB = analyzer->decoderPeakMemoryKB();
    ASSERT_TRUE(peakKB);
    EXPECT_GT(*peakKB, 1024u);                    // a loaded acoustic model
    EXPECT_LT(*peakKB, kParentBytes / 1024 / 2);  // nothing of the parent's
    EXPECT_EQ(parentMemory[kParentBytes / 2], 1);
    // A restarted decoder keeps the figure of the one before.
    analyzer->abortDecoderForTesting();
    feed(testing::SpokenAudio::say("the northern wind", "en-us", 0.002));
    ASSERT_TRUE(analyzer->waitUntilDecoded(20));
    EXPECT_GE(analyzer->decoderPeakMemoryKB().value_or(0), 1024u);
}

// A run kept by its transcriber after the analyser went used to lock the dead analyser's
// mutex. It holds the analyser weakly now: appending, finishing and ending it do nothing.
TEST_F(PocketSphinxAnalyzerTest, ARunOutlivingItsAnalyzerIsInert) {
    auto owned = std::make_shared<PocketSphinxAnalyzer>(config());
    owned->setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    startRun(*owned, "en-US");
    owned.reset();
    feed(testing::SpokenAudio::say("good evening", "en-us", 0.002));
    run_->finish();
    run_.reset();
    EXPECT_TRUE(heard_.empty());
}

std::shared_ptr<PocketSphinxAnalyzer> PocketSphinxAnalyzerTest::englishAnalyzerOver(
    const std::filesystem::path& data) {
    const char* previous = getenv("XDG_DATA_HOME");
    const std::string restore = previous ? previous : "";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    auto analyzer = std::make_shared<PocketSphinxAnalyzer>(config());
    if (restore.empty()) {
        unsetenv("XDG_DATA_HOME");
    } else {
        setenv("XDG_DATA_HOME", restore.c_str(), 1);
    }
    analyzer->setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    return analyzer;
}

// A damaged model in the user's models folder made the decoder exit at every load, and
// it was restarted about 85 times a second while the panel said it listened. The run now
// fails once with the library's own reason, and the decoder is not started again.
TEST_F(PocketSphinxAnalyzerTest, ADamagedUserModelFailsTheRunWithTheLibrarysReason) {
    char pattern[] = "/tmp/vorela-data-XXXXXX";
    const std::filesystem::path data = mkdtemp(pattern);
    const auto model = data / Bundle::identifier() / "models" / "en-US";
    std::filesystem::create_directories(model);
    std::ofstream(model / "mdef") << "not a model\n";
    auto analyzer = englishAnalyzerOver(data);
    startRun(*analyzer, "en-US");
    feed(testing::SpokenAudio::say("the northern wind", "en-us", 0.002));
    ASSERT_TRUE(waitForFailure(20));
    EXPECT_TRUE(analyzer->waitUntilDecoded(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // time to restart, if it did
    EXPECT_EQ(analyzer->decoderStarts(), 1);
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0].rfind("El decodificador no cargó el modelo: el modelo acústico de " +
                                     model.string() + " no se pudo cargar (FATAL: ",
                                 0),
              0u)
        << failures_[0];
    EXPECT_EQ(analyzer->modelFailure().value_or("").rfind("el modelo acústico de", 0), 0u);
    run_.reset();
    std::filesystem::remove_all(data);
}

// A copied model whose binary mdef lost its header: the library quotes the file's first
// bytes in its error line, and they reached the user as raw bytes.
TEST_F(PocketSphinxAnalyzerTest, ADamagedBinaryModelIsNamedInPrintableTextOnly) {
    const std::filesystem::path english = "/usr/share/pocketsphinx/model/en-us/en-us";
    if (!std::filesystem::exists(english / "mdef")) GTEST_SKIP() << "no English model here";
    char pattern[] = "/tmp/vorela-data-XXXXXX";
    const std::filesystem::path data = mkdtemp(pattern);
    const auto model = data / Bundle::identifier() / "models" / "en-US";
    std::filesystem::create_directories(model.parent_path());
    std::filesystem::copy(english, model);
    {
        std::fstream mdef(model / "mdef", std::ios::in | std::ios::out | std::ios::binary);
        mdef.write("\xcb\xae\xff\xfe", 4);
    }
    auto analyzer = englishAnalyzerOver(data);
    startRun(*analyzer, "en-US");
    ASSERT_TRUE(waitForFailure(20));
    const auto isShown = [](const std::string& text) {
        return unicode::isValidUtf8(text) && text.find("\uFFFD") == std::string::npos &&
               std::none_of(text.begin(), text.end(),
                            [](unsigned char c) { return c < 0x20 || c == 0x7f; });
    };
    const std::string failure = failures_.at(0);
    EXPECT_NE(failure.find("no se pudo cargar (FATAL: "), std::string::npos) << failure;
    EXPECT_TRUE(isShown(failure)) << failure;
    EXPECT_NE(failure.find("Version error: Expecing 0.3, but read \u02ee)"), std::string::npos)
        << "what can be shown of the bytes stays";
    EXPECT_TRUE(isShown(analyzer->modelFailure().value_or("")));
    run_.reset();
    std::filesystem::remove_all(data);
}

// A decoder that dies without a word (a crash at its start) is restarted at once, then
// after 0.5, 1 and 2 s; its fifth quick death fails the run instead of a tight loop, and
// that last decoder is waited for at once, not left a zombie. A new start tries again.
TEST_F(PocketSphinxAnalyzerTest, ADecoderThatKeepsDyingIsRestartedLaterEachTimeThenGivenUp) {
    testing::ScriptedProgram dying("exit 1");
    auto settings = config();
    settings.decoderProgram = dying.path();
    auto analyzer = std::make_shared<PocketSphinxAnalyzer>(settings);
    analyzer->setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    const auto began = std::chrono::steady_clock::now();
    startRun(*analyzer, "en-US");
    ASSERT_TRUE(waitForFailure(20));
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    EXPECT_GE(waited, 3.5);
    EXPECT_LT(waited, 10);
    EXPECT_EQ(failures_,
              Words{"El decodificador de voz se detuvo 5 veces seguidas y no se vuelve a "
                    "arrancar."});
    EXPECT_TRUE(testing::childrenReapedWithin(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(analyzer->decoderStarts(), 5);
    feed(testing::SpokenAudio::say("the northern wind", "en-us", 0.002));
    EXPECT_TRUE(analyzer->waitUntilDecoded(1));  // dropped, not waiting for a decoder

    failures_.clear();
    startRun(*analyzer, "en-US");
    ASSERT_TRUE(waitForFailure(20));
    EXPECT_EQ(analyzer->decoderStarts(), 10);
}

// finish() returned before the decoder had reached the end of the input, and its last
// results came afterwards into a transcriber that had already stopped. Its contract: the
// input decoded to the end, then no callback.
TEST_F(PocketSphinxAnalyzerTest, FinishDecodesToTheEndAndNoCallbackRunsAfterIt) {
    auto analyzer = std::make_shared<PocketSphinxAnalyzer>(config());
    analyzer->setScript(std::make_shared<SpeechScript>(scriptOf("en-US", split(kEnglish))));
    startRun(*analyzer, "en-US");
    feed(testing::SpokenAudio::say(kEnglish, "en-us", 0.002));
    ASSERT_TRUE(analyzer->waitUntilDecoded(20));
    run_->finish();  // the utterance's final result comes now, not later
    int callbacks = 0;
    {
        std::lock_guard guard(mutex_);
        callbacks = callbacks_;
        ASSERT_FALSE(heard_.empty());
        EXPECT_EQ(heard_.back(), "shop");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::lock_guard guard(mutex_);
    EXPECT_EQ(callbacks_, callbacks);
}

}  // namespace
}  // namespace vorela
