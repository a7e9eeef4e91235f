#include <algorithm>
#include <cstdio>

#include "App/Linux/SpokenReading.h"
#include "App/Linux/VoiceEndToEndFixture.h"
#include "Matcher/MatcherConfig.h"
#include "Platform/Foundation/Format.h"
#include "Prefs/Prefs.h"

namespace vorela {
namespace {

using testing::SpokenReading;

// Reads a script aloud into the server and follows it in word tracking, with the real
// decoder: the position reached, its moves, and how far it was from the voice.
class WordTrackingEndToEndTest : public VoiceEndToEndTest {
protected:
    struct Reading {
        const char* name;
        std::string locale, voice;
        std::vector<std::string> sentences;
        double snrDecibels;
    };
    struct Frame {
        double t;  // since the first sound of the reading
        long index;
    };
    // A quiet lead, the sentences with a short gap, a long pause before the last one.
    // Noise alone for longer makes the decoder hear a script word in it now and then, and
    // a lone word can move the position far ahead.
    static constexpr double kLead = 0.5, kGap = 0.4, kPause = 3.0, kTail = 2.5;

    void follow(const Reading& reading) {
        SCOPED_TRACE(reading.name);
        std::vector<SpokenReading::Part> parts{{"", kLead}};
        for (std::size_t i = 0; i < reading.sentences.size(); ++i) {
            const bool last = i + 1 == reading.sentences.size();
            if (i > 0) parts.push_back({"", last ? kPause : kGap});
            parts.push_back({reading.sentences[i]});
        }
        parts.push_back({"", kTail});
        const auto sentences = SpokenReading::make(parts, reading.voice, reading.snrDecibels,
                                                   pulse_.dir() / "reading.wav");
        ASSERT_TRUE(sentences) << "espeak-ng and sox make the reading";

        Prefs::set(Prefs::Keys::transcriptionLocale(),
                   *fromRawValue(std::type_identity<TranscriptionLocale>(), reading.locale));
        AppState& state = *state_;
        std::string text;
        for (const auto& sentence : reading.sentences) text += sentence + " ";
        state.load(text, reading.name);
        surface_->layOut(long(state.tokens.get().size()), 20);
        state.attach(surface_);
        state.setMode(PrompterMode::wordTracking);
        state.play();
        for (int i = 0; i < 500 && !state.isTranscribing.get(); ++i) pump(0.02);
        ASSERT_TRUE(state.isTranscribing.get()) << state.transcriptionProblem.get().value_or("");

        const auto words = wordEnds(*state.tokens.get(), *sentences);
        ASSERT_EQ(words.size(), state.tokens.get().size()) << "one sentence end per sentence";
        // Where the reading is: the audio captured since its first sound.
        std::vector<Frame> frames;
        play();
        pump(sentences->back().end + kTail + 6, [&] {
            if (const auto t = timeline_->secondsSinceFirstSound()) {
                frames.push_back({*t, state.currentTokenIndex.get()});
            }
        });
        ASSERT_FALSE(frames.empty());

        report(reading.name, frames, words, *sentences);
        long worstStepBack = 0;
        double worstAt = 0;
        for (std::size_t i = 1; i < frames.size(); ++i) {
            if (frames[i - 1].index - frames[i].index > worstStepBack)
                worstStepBack = frames[i - 1].index - frames[i].index, worstAt = frames[i].t;
        }
        std::printf("%s: worst step back %ld words, at %s s\n", reading.name, worstStepBack,
                    format("%.2f", worstAt).c_str());
        // One word is the goal. A misheard phrase within the jump guard moves the text on
        // at once, and the reader's own words bring it back, never farther than the lost
        // search reaches.
        EXPECT_LE(worstStepBack, MatcherConfig{}.recoverBack)
            << "at " << worstAt << " s: never back past the lost search's reach";
        const long lastSentence = firstWordOfLastSentence(*state.tokens.get());
        EXPECT_GE(frames.back().index, lastSentence) << "the last sentence is reached";
        // The pause: once the sentence before it is taken in, nothing moves until the
        // voice comes back.
        const auto& before = (*sentences)[sentences->size() - 2];
        const auto pause = indexesBetween(frames, before.end + 2.0, sentences->back().start);
        ASSERT_FALSE(pause.empty());
        EXPECT_EQ(*std::min_element(pause.begin(), pause.end()),
                  *std::max_element(pause.begin(), pause.end()))
            << "a pause in speech holds the position";
        EXPECT_GE(pause.front(), lastSentence - 2) << "the sentence before the pause was followed";
    }

    // Each word's end in the file: a sentence's voice is shared among its words by their
    // length (a sentence's last word ends exactly where its voice does).
    static std::vector<double> wordEnds(const std::vector<Token>& tokens,
                                        const std::vector<SpokenReading::Sentence>& sentences) {
        std::vector<double> ends;
        std::size_t first = 0, sentence = 0;
        for (std::size_t i = 0; i < tokens.size() && sentence < sentences.size(); ++i) {
            if (!tokens[i].isSentenceEnd && i + 1 < tokens.size()) continue;
            double total = 0, sum = 0;
            for (std::size_t j = first; j <= i; ++j) total += double(tokens[j].raw.size() + 1);
            const auto& s = sentences[sentence++];
            for (std::size_t j = first; j <= i; ++j) {
                sum += double(tokens[j].raw.size() + 1);
                ends.push_back(s.start + (s.end - s.start) * sum / total);
            }
            first = i + 1;
        }
        return ends;
    }
    static long firstWordOfLastSentence(const std::vector<Token>& tokens) {
        for (std::size_t i = tokens.size() - 1; i > 0; --i)
            if (tokens[i - 1].isSentenceEnd) return long(i);
        return 0;
    }
    static std::vector<long> indexesBetween(const std::vector<Frame>& frames, double from,
                                            double to) {
        std::vector<long> indexes;
        for (const auto& f : frames)
            if (f.t >= from && f.t <= to) indexes.push_back(f.index);
        return indexes;
    }

    // How far the position was from the voice while it spoke, and how long after a word's
    // end the position reached it.
    static void report(const char* name, const std::vector<Frame>& frames,
                       const std::vector<double>& ends,
                       const std::vector<SpokenReading::Sentence>& sentences) {
        auto readerAt = [&](double t) {
            return double(
                std::count_if(ends.begin(), ends.end(), [&](double e) { return e <= t; }));
        };
        double distance = 0;
        int within = 0, counted = 0;
        for (const auto& f : frames) {
            const bool speaking = std::any_of(sentences.begin(), sentences.end(), [&](auto& s) {
                return f.t >= s.start && f.t <= s.end;
            });
            if (!speaking) continue;
            const double d = std::abs(double(f.index) - readerAt(f.t));
            distance += d;
            within += d <= 3;
            ++counted;
        }
        std::vector<double> latencies;
        int unreached = 0;
        for (std::size_t w = 0; w < ends.size(); ++w) {
            // The position is the word to read next: it has taken a word in when it passes
            // it (the last word, when it stands on it).
            const long past = std::min(long(w) + 1, long(ends.size()) - 1);
            const auto reached = std::find_if(frames.begin(), frames.end(),
                                              [&](const Frame& f) { return f.index >= past; });
            if (reached == frames.end()) {
                ++unreached;
                continue;
            }
            latencies.push_back(std::max(0.0, reached->t - ends[w]));
        }
        std::sort(latencies.begin(), latencies.end());
        auto quantile = [&](double q) {
            return latencies.empty() ? 0.0
                                     : latencies[std::size_t(q * double(latencies.size() - 1))];
        };
        std::printf(
            "%s: mean distance %s words, %s of speech time within 3 words; latency "
            "median %s s, p90 %s s, max %s s; %d of %zu words never reached\n",
            name, format("%.2f", counted ? distance / counted : 0).c_str(),
            format("%.2f", counted ? double(within) / counted : 0).c_str(),
            format("%.2f", quantile(0.5)).c_str(), format("%.2f", quantile(0.9)).c_str(),
            format("%.2f", quantile(1)).c_str(), unreached, ends.size());
        if (std::getenv("VORELA_E2E_TRACE")) {
            long shown = -1;
            for (const auto& f : frames)
                if (f.index != shown) std::printf("  %.2f s -> %ld\n", f.t, shown = f.index);
            for (std::size_t w = 0; w < ends.size(); ++w)
                std::printf("  word %zu ends %.2f\n", w, ends[w]);
        }
    }
};

TEST_F(WordTrackingEndToEndTest, ASpanishReadingIsFollowedToItsLastSentence) {
    follow({"Spanish",
            "es-ES",
            "es",
            {"Buenas tardes a todos y bienvenidos al programa de esta noche.",
             "Hoy hablaremos de la economía del país y de sus retos.",
             "Gracias por acompañarnos hasta el final."},
            18});
}

TEST_F(WordTrackingEndToEndTest, AnEnglishReadingIsFollowedToItsLastSentence) {
    follow({"English",
            "en-US",
            "en-us",
            {"Good evening everyone and welcome to the show tonight.",
             "We will talk about the economy and the road ahead.",
             "Thank you for staying with us until the end."},
            30});
}

TEST_F(WordTrackingEndToEndTest, TheRecognitionTestHearsTheCalibrationPhrase) {
    Prefs::set(Prefs::Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
    const auto sentences =
        SpokenReading::make({{"", 0.5}, {AppState::calibrationPhrase()}, {"", 1.0}}, "es", 18,
                            pulse_.dir() / "reading.wav");
    ASSERT_TRUE(sentences);
    AppState& state = *state_;
    state.load("Buenas tardes a todos y bienvenidos al programa de esta noche.", "guion");
    std::optional<std::optional<double>> wer;
    state.measureRecognitionQuality(sentences->back().end + 4,
                                    [&](std::optional<double> rate) { wer = rate; });
    for (int i = 0; i < 500 && !state.isTranscribing.get(); ++i) pump(0.02);
    ASSERT_TRUE(state.isTranscribing.get()) << state.transcriptionProblem.get().value_or("");
    play();
    for (int i = 0; i < 1000 && !wer; ++i) pump(0.02);
    ASSERT_TRUE(wer.has_value()) << "the test ended";
    ASSERT_TRUE(wer->has_value()) << "the reading was heard";
    EXPECT_LT(**wer, 0.4) << "most of the phrase is heard";
    EXPECT_EQ(state.mode.get(), PrompterMode::manual);
    EXPECT_EQ(state.voiceProfile.get().measuredWER, **wer);
    std::printf("recognition test: word error rate %s\n", format("%.2f", **wer).c_str());
}

}  // namespace
}  // namespace vorela
