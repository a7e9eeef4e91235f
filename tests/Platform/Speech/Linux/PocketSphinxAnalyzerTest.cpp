#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "Platform/Speech/Linux/PocketSphinxAnalyzer.h"
#include "Platform/Speech/Linux/SpokenAudio.h"

namespace vorela {
namespace {

using Words = std::vector<std::string>;

SpeechScript scriptOf(const std::string& locale, const Words& words) {
    SpeechScript script{locale, {}};
    for (const auto& w : words) script.words.push_back({w, w, {}});
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
    PocketSphinxAnalyzer::Config config(double garbage = 0) {
        return {VORELA_DECODER_PROGRAM, SpeechModelLocator::standard(VORELA_DECODER_FOLDER),
                [](const std::string& l) { return "sin modelo " + l; }, garbage};
    }

    void startRun(PocketSphinxAnalyzer& analyzer, const std::string& locale) {
        auto started = analyzer.start(
            locale,
            [this](const SpeechAnalyzerResult& r) {
                std::lock_guard guard(mutex_);
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
            [](const std::string&) {});
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

    // Everything heard once the run has finished.
    Words finishAndCollect(int finalsBefore = 0) {
        run_->finish();
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(20), [&] { return finals_ > finalsBefore; });
        return heard_;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    Words heard_;
    Words partial_;
    int finals_ = 0;
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
        PocketSphinxAnalyzer analyzer(config());
        analyzer.setScript(std::make_shared<SpeechScript>(scriptOf(c.locale, split(c.text))));
        startRun(analyzer, c.locale);
        const auto audio = testing::SpokenAudio::say(c.text, c.voice, c.noise);
        ASSERT_FALSE(audio.empty());
        feed(audio);
        const Words heard = finishAndCollect();
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

}  // namespace
}  // namespace vorela
