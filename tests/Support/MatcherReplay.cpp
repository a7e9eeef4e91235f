#include "Support/MatcherReplay.h"

#include <algorithm>
#include <cctype>
#include <random>
#include <sstream>

#include "Matcher/ScriptMatcher.h"
#include "Script/NumberSpeller.h"

namespace vorela::testing {
namespace {

// Utterances end at sentence ends, or after this many words when a sentence runs on.
constexpr std::size_t kMaxUtteranceWords = 12;
// Engines resend an unchanged partial shortly after the first.
constexpr double kResendDelay = 0.05;
// A final arrives a moment after the last word, and a pause follows it.
constexpr double kFinalDelay = 0.25;
constexpr double kPauseAfterUtterance = 0.35;

const std::vector<std::string> kSpanishAdLib = {
    "bueno",    "como", "les",   "decía", "esto", "me",      "recuerda", "una", "anécdota",
    "graciosa", "del",  "viaje", "a",     "la",   "capital", "con",      "mi",  "hermano"};
const std::vector<std::string> kEnglishAdLib = {"well",  "as",      "I",     "was", "saying",
                                                "this",  "reminds", "me",    "of",  "a",
                                                "funny", "story",   "about", "my",  "brother"};

std::vector<std::string> splitWords(const std::string& phrase) {
    std::istringstream in(phrase);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// Marks utterance ends: after a sentence end, or when an utterance grows too long.
void segment(std::vector<SpokenWord>& words, const std::vector<Token>& tokens) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        ++run;
        // The last spoken word of a token (a number may take several) that ends a sentence.
        const bool lastOfToken =
            i + 1 == words.size() || words[i + 1].truth != words[i].truth || words[i + 1].offScript;
        const bool sentenceEnd = !words[i].offScript && lastOfToken &&
                                 tokens[static_cast<std::size_t>(words[i].truth)].isSentenceEnd;
        words[i].endsUtterance = sentenceEnd || run >= kMaxUtteranceWords || i + 1 == words.size();
        if (words[i].endsUtterance) run = 0;
    }
}

std::string misspelt(std::string word, std::mt19937& rng) {
    std::vector<std::size_t> letters;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::isalpha(static_cast<unsigned char>(word[i]))) letters.push_back(i);
    }
    if (letters.empty()) return word + "s";
    const std::size_t at = letters[rng() % letters.size()];
    const char replacement = static_cast<char>('a' + rng() % 26);
    word[at] = replacement == word[at] ? 'x' : replacement;
    return word;
}

// The words a speaker says for a numeric token, or nothing when it holds no number.
std::vector<std::string> spokenNumber(const std::string& raw, Tokenizer::Language language) {
    std::string integer;
    std::string decimals;
    bool afterPoint = false;
    for (char c : raw) {
        if (c == '.') {
            afterPoint = true;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            (afterPoint ? decimals : integer) += c;
        }
    }
    if (integer.empty() || integer.size() > 15) return {};
    const bool english = language == Tokenizer::Language::english;
    auto spell = [&](long long n) {
        return splitWords(english ? NumberSpeller::english(n) : NumberSpeller::spanish(n));
    };
    std::vector<std::string> words = spell(std::stoll(integer));
    if (!decimals.empty()) {
        words.push_back(english ? "point" : "punto");
        for (char d : decimals) {
            for (auto& w : spell(d - '0')) words.push_back(w);
        }
    }
    if (raw.find('%') != std::string::npos) {
        for (auto& w : splitWords(english ? "percent" : "por ciento")) words.push_back(w);
    }
    return words;
}

}  // namespace

ReadingBuilder::ReadingBuilder(std::string text, std::vector<Token> tokens,
                               Tokenizer::Language language, unsigned seed)
    : text_(std::move(text)), tokens_(std::move(tokens)), language_(language), seed_(seed) {}

std::vector<SpokenWord> ReadingBuilder::straight(long from, long to) const {
    std::vector<SpokenWord> words;
    for (long i = std::max(from, 0L); i <= to && i < static_cast<long>(tokens_.size()); ++i) {
        words.push_back({tokens_[static_cast<std::size_t>(i)].raw.str(), i, false});
    }
    return words;
}

std::vector<long> ReadingBuilder::paragraphStarts() const {
    std::vector<long> starts{0};
    for (std::size_t i = 1; i < tokens_.size(); ++i) {
        const auto gap = text_.substr(tokens_[i - 1].range.end,
                                      tokens_[i].range.begin - tokens_[i - 1].range.end);
        if (gap.find("\n\n") != std::string::npos) starts.push_back(static_cast<long>(i));
    }
    return starts;
}

long ReadingBuilder::sentenceEndNear(long index) const {
    for (long i = index; i < static_cast<long>(tokens_.size()); ++i) {
        if (tokens_[static_cast<std::size_t>(i)].isSentenceEnd) return i;
    }
    return static_cast<long>(tokens_.size()) - 1;
}

Reading ReadingBuilder::clean() const {
    Reading reading{"clean", straight(0, static_cast<long>(tokens_.size()) - 1)};
    segment(reading.words, tokens_);
    return reading;
}

Reading ReadingBuilder::substituted(double share) const {
    std::mt19937 rng(seed_);
    std::uniform_real_distribution<double> chance(0, 1);
    Reading reading = clean();
    reading.name = "substituted";
    for (auto& word : reading.words) {
        if (chance(rng) >= share) continue;
        if (rng() % 2 == 0) {
            word.text = tokens_[rng() % tokens_.size()].raw.str();
        } else {
            word.text = misspelt(word.text, rng);
        }
    }
    return reading;
}

Reading ReadingBuilder::dropped(double share) const {
    std::mt19937 rng(seed_ + 1);
    std::uniform_real_distribution<double> chance(0, 1);
    Reading reading{"dropped", {}};
    for (auto& word : clean().words) {
        if (chance(rng) >= share) reading.words.push_back(word);
    }
    segment(reading.words, tokens_);
    return reading;
}

Reading ReadingBuilder::repeatedSentence() const {
    const long last = static_cast<long>(tokens_.size()) - 1;
    const long end = sentenceEndNear(last / 2);
    long start = end;
    while (start > 0 && !tokens_[static_cast<std::size_t>(start - 1)].isSentenceEnd) --start;
    Reading reading{"repeated sentence", straight(0, end)};
    for (auto& w : straight(start, end)) reading.words.push_back(w);
    for (auto& w : straight(end + 1, last)) reading.words.push_back(w);
    segment(reading.words, tokens_);
    return reading;
}

Reading ReadingBuilder::skippedParagraph() const {
    const long last = static_cast<long>(tokens_.size()) - 1;
    const auto starts = paragraphStarts();
    auto next = std::upper_bound(starts.begin(), starts.end(), last / 2);
    Reading reading{"skipped paragraph", {}};
    if (next == starts.end() || next + 1 == starts.end()) {
        reading.words = straight(0, last);
    } else {
        reading.words = straight(0, *next - 1);
        for (auto& w : straight(*(next + 1), last)) reading.words.push_back(w);
    }
    segment(reading.words, tokens_);
    return reading;
}

Reading ReadingBuilder::adLibbed(int count) const {
    const long last = static_cast<long>(tokens_.size()) - 1;
    const long end = sentenceEndNear(last / 2);
    const auto& adLib = language_ == Tokenizer::Language::english ? kEnglishAdLib : kSpanishAdLib;
    Reading reading{"ad-libbed", straight(0, end)};
    for (int i = 0; i < count; ++i) {
        reading.words.push_back(
            {adLib[static_cast<std::size_t>(i) % adLib.size()], end, false, true});
    }
    for (auto& w : straight(end + 1, last)) reading.words.push_back(w);
    segment(reading.words, tokens_);
    return reading;
}

Reading ReadingBuilder::numbersAsWords() const {
    Reading reading{"numbers as words", {}};
    for (const auto& token : tokens_) {
        auto spoken = token.variants.empty() ? std::vector<std::string>{}
                                             : spokenNumber(token.raw.str(), language_);
        if (spoken.empty()) spoken.push_back(token.raw.str());
        for (auto& w : spoken) reading.words.push_back({w, token.index, false});
    }
    segment(reading.words, tokens_);
    return reading;
}

std::vector<TimedUpdate> recogniserStream(const Reading& reading, double startTime,
                                          double wordsPerMinute) {
    const double wordSeconds = 60.0 / wordsPerMinute;
    std::vector<TimedUpdate> stream;
    std::vector<std::string> utterance;
    double t = startTime;
    for (std::size_t i = 0; i < reading.words.size(); ++i) {
        utterance.push_back(reading.words[i].text);
        const long newest = static_cast<long>(i);
        stream.push_back({{utterance, false, std::nullopt, t}, newest});
        stream.push_back({{utterance, false, std::nullopt, t + kResendDelay}, newest});
        if (reading.words[i].endsUtterance) {
            stream.push_back({{utterance, true, std::nullopt, t + kFinalDelay}, newest});
            utterance.clear();
            t += kPauseAfterUtterance;
        }
        t += wordSeconds;
    }
    return stream;
}

double ReplayResult::shareWithin(long tokens) const {
    if (truth.empty()) return 0;
    std::size_t near = 0;
    for (std::size_t i = 0; i < truth.size(); ++i) {
        if (std::labs(cursorAfterWord[i] - (truth[i] + 1)) <= tokens) ++near;
    }
    return static_cast<double>(near) / static_cast<double>(truth.size());
}

ReplayResult replay(std::shared_ptr<const std::vector<Token>> tokens, const Reading& reading,
                    const MatcherConfig& config, Tokenizer::Language language) {
    ScriptMatcher matcher(config);
    matcher.setTokens(std::move(tokens));
    matcher.reset(0);

    ReplayResult result;
    long previousCursor = matcher.cursor();
    long recordedWord = -1;
    for (const auto& timed : recogniserStream(reading, 1000.0)) {
        const double now = timed.update.receivedAt;
        if (matcher.tokenCount() > 0) {
            matcher.ingest(timed.update, language, now);
            if (now - matcher.lastUpdateTime() >= matcher.config().minUpdateInterval) {
                matcher.setLastUpdateTime(now);
                if (!matcher.recentHeard().empty()) {
                    matcher.align(now);
                    ++result.alignments;
                }
            }
        }
        const long cursor = matcher.cursor();
        result.largestForwardStep = std::max(result.largestForwardStep, cursor - previousCursor);
        result.largestBackwardStep = std::max(result.largestBackwardStep, previousCursor - cursor);
        previousCursor = cursor;
        if (timed.newestWord > recordedWord) {
            recordedWord = timed.newestWord;
            result.cursorAfterWord.push_back(cursor);
            result.truth.push_back(reading.words[static_cast<std::size_t>(recordedWord)].truth);
        }
    }
    return result;
}

}  // namespace vorela::testing
