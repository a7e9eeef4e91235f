#include "FollowSummary.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "Platform/Foundation/Format.h"

namespace vorela::follow {

namespace {

struct Pool {
    int readings = 0;
    int failed = 0;
    ReadingScore total;
    int maxRecovery = 0;
    double mostFarAheadSeconds = 0;  // of any one reading
};

void pool(Pool& p, const FollowSummary::Run& run) {
    ++p.readings;
    if (run.failed) ++p.failed;
    const ReadingScore& s = run.score;
    p.total.speechSamples += s.speechSamples;
    p.total.withinSamples += s.withinSamples;
    p.total.aheadSamples += s.aheadSamples;
    p.total.behindSamples += s.behindSamples;
    p.total.farAheadSamples += s.farAheadSamples;
    p.total.longestFarAheadSeconds =
        std::max(p.total.longestFarAheadSeconds, s.longestFarAheadSeconds);
    p.mostFarAheadSeconds =
        std::max(p.mostFarAheadSeconds, s.farAheadSamples * FollowScorer::kSampleSeconds);
    p.total.backwardMoves += s.backwardMoves;
    p.total.latenciesSeconds.insert(p.total.latenciesSeconds.end(), s.latenciesSeconds.begin(),
                                    s.latenciesSeconds.end());
    p.total.unreachedWords += s.unreachedWords;
    p.total.aheadWords += s.aheadWords;
    p.total.recoveryWords.insert(p.total.recoveryWords.end(), s.recoveryWords.begin(),
                                 s.recoveryWords.end());
    p.total.unrecovered += s.unrecovered;
    p.total.remarks += s.remarks;
    p.total.remarkDriftWords = std::max(p.total.remarkDriftWords, s.remarkDriftWords);
    for (int w : s.recoveryWords) p.maxRecovery = std::max(p.maxRecovery, w);
}

std::string row(const std::string& name, const Pool& p) {
    const ReadingScore& s = p.total;
    const std::string recovery =
        s.recoveryWords.empty() ? "-" : format("%d (%d lost)", p.maxRecovery, s.unrecovered);
    const std::string drift = s.remarks == 0 ? "-" : format("%d", s.remarkDriftWords);
    const int words = static_cast<int>(s.latenciesSeconds.size()) + s.aheadWords + s.unreachedWords;
    return format(
        "%-10s %4d %4d %8.1f %7.3f %5d %6.0f %6.0f %6d  %-12s %6s %6.3f %6.3f %6.3f %6.1f %6.1f\n",
        name.c_str(), p.readings, p.failed, s.speechSamples * FollowScorer::kSampleSeconds,
        s.withinFraction(), s.backwardMoves,
        FollowSummary::percentile(s.latenciesSeconds, 50) * 1000,
        FollowSummary::percentile(s.latenciesSeconds, 95) * 1000, s.unreachedWords,
        recovery.c_str(), drift.c_str(),
        words == 0 ? 0.0 : static_cast<double>(s.aheadWords) / words,
        s.shareOfSpeech(s.aheadSamples), s.shareOfSpeech(s.behindSamples), p.mostFarAheadSeconds,
        s.longestFarAheadSeconds);
}

std::string header(const char* group) {
    return format("%-10s %4s %4s %8s %7s %5s %6s %6s %6s  %-12s %6s %6s %6s %6s %6s %6s\n", group,
                  "n", "fail", "speech_s", "within3", "back", "lat50", "lat95", "unrch", "recovery",
                  "drift", "aheadW", "ahead3", "behnd3", "a20_s", "a20run");
}

std::string groupTable(const char* group,
                       const std::map<std::string, std::vector<FollowSummary::Run>>& runs) {
    std::string out = header(group);
    Pool all;
    for (const auto& [name, members] : runs) {
        Pool p;
        for (const FollowSummary::Run& r : members) {
            pool(p, r);
            pool(all, r);
        }
        out += row(name, p);
    }
    return out + row("all", all);
}

}  // namespace

void FollowSummary::add(Run run) {
    runsByScenario_[scenarioOf(run.reading)].push_back(run);
    runsBySet_[run.set].push_back(std::move(run));
}

std::string FollowSummary::scenarioOf(const std::string& reading) {
    const auto first = reading.find('-');
    if (first == std::string::npos) return reading;
    const auto second = reading.find('-', first + 1);
    return reading.substr(first + 1,
                          second == std::string::npos ? std::string::npos : second - first - 1);
}

double FollowSummary::percentile(std::vector<double> values, double percent) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100 * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

std::string FollowSummary::jsonLine(const Run& run) {
    const ReadingScore& s = run.score;
    const nlohmann::json line = {
        {"reading", run.reading},
        {"set", run.set},
        {"failed", run.failed},
        {"speechSeconds", s.speechSamples * FollowScorer::kSampleSeconds},
        {"within3", s.withinFraction()},
        {"backward", s.backwardMoves},
        {"latencyMedian", percentile(s.latenciesSeconds, 50)},
        {"latencyP95", percentile(s.latenciesSeconds, 95)},
        {"reached", s.latenciesSeconds.size()},
        {"aheadWords", s.aheadWords},
        {"ahead3", s.shareOfSpeech(s.aheadSamples)},
        {"behind3", s.shareOfSpeech(s.behindSamples)},
        {"ahead20Seconds", s.farAheadSamples * FollowScorer::kSampleSeconds},
        {"longestAhead20Seconds", s.longestFarAheadSeconds},
        {"unreached", s.unreachedWords},
        {"recoveryWords", s.recoveryWords},
        {"unrecovered", s.unrecovered},
        {"remarks", s.remarks},
        {"remarkDrift", s.remarkDriftWords},
        {"run", run.runStats}};
    return line.dump();
}

std::string FollowSummary::table() const {
    return groupTable("set", runsBySet_) + "\n" + groupTable("scenario", runsByScenario_) +
           "lat50/lat95 in ms over words reached after they were spoken; aheadW: share of\n"
           "words reached before they were spoken; recovery: most spoken words after a skip\n"
           "or re-read until within ±3 words; drift: largest move during an off-script remark;\n"
           "ahead3/behnd3: share of speech time more than 3 words ahead of / behind the\n"
           "spoken word; a20_s: most seconds of one reading more than 20 words ahead; a20run:\n"
           "longest stretch more than 20 words ahead, in seconds\n";
}

}  // namespace vorela::follow
