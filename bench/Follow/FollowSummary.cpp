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
};

void pool(Pool& p, const FollowSummary::Run& run) {
    ++p.readings;
    if (run.failed) ++p.failed;
    const ReadingScore& s = run.score;
    p.total.speechSamples += s.speechSamples;
    p.total.withinSamples += s.withinSamples;
    p.total.backwardMoves += s.backwardMoves;
    p.total.latenciesSeconds.insert(p.total.latenciesSeconds.end(), s.latenciesSeconds.begin(),
                                    s.latenciesSeconds.end());
    p.total.unreachedWords += s.unreachedWords;
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
    return format("%-10s %4d %4d %8.1f %7.3f %5d %6.0f %6.0f %6d  %-12s %6s\n", name.c_str(),
                  p.readings, p.failed, s.speechSamples * FollowScorer::kSampleSeconds,
                  s.withinFraction(), s.backwardMoves,
                  FollowSummary::percentile(s.latenciesSeconds, 50) * 1000,
                  FollowSummary::percentile(s.latenciesSeconds, 95) * 1000, s.unreachedWords,
                  recovery.c_str(), drift.c_str());
}

}  // namespace

void FollowSummary::add(Run run) { runsBySet_[run.set].push_back(std::move(run)); }

double FollowSummary::percentile(std::vector<double> values, double percent) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100 * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

std::string FollowSummary::jsonLine(const Run& run) {
    const ReadingScore& s = run.score;
    const nlohmann::json line = {{"reading", run.reading},
                                 {"set", run.set},
                                 {"failed", run.failed},
                                 {"speechSeconds", s.speechSamples * FollowScorer::kSampleSeconds},
                                 {"within3", s.withinFraction()},
                                 {"backward", s.backwardMoves},
                                 {"latencyMedian", percentile(s.latenciesSeconds, 50)},
                                 {"latencyP95", percentile(s.latenciesSeconds, 95)},
                                 {"reached", s.latenciesSeconds.size()},
                                 {"unreached", s.unreachedWords},
                                 {"recoveryWords", s.recoveryWords},
                                 {"unrecovered", s.unrecovered},
                                 {"remarks", s.remarks},
                                 {"remarkDrift", s.remarkDriftWords},
                                 {"run", run.runStats}};
    return line.dump();
}

std::string FollowSummary::table() const {
    std::string out =
        format("%-10s %4s %4s %8s %7s %5s %6s %6s %6s  %-12s %6s\n", "set", "n", "fail", "speech_s",
               "within3", "back", "lat50", "lat95", "unrch", "recovery", "drift");
    Pool all;
    for (const auto& [set, runs] : runsBySet_) {
        Pool p;
        for (const Run& r : runs) {
            pool(p, r);
            pool(all, r);
        }
        out += row(set, p);
    }
    out += row("all", all);
    out +=
        "lat50/lat95 in ms over reached words; recovery: most spoken words after a skip or\n"
        "re-read until within ±3 words; drift: largest move during an off-script remark\n";
    return out;
}

}  // namespace vorela::follow
