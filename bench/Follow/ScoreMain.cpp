// vorela_follow_score: scores the follower's output against the truth of every reading.
//   vorela_follow_score [--lead N] CORPUS_DIR RESULTS_DIR
// CORPUS_DIR holds one folder per reading (script.txt, truth.json); RESULTS_DIR holds, per
// reading, <name>.out (the follower's standard output), <name>.err (its standard error) and
// <name>.status (its exit code). Prints one JSON line per reading, then the table per set.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FollowLog.h"
#include "FollowSummary.h"

using namespace vorela::follow;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string lastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const auto newline = text.rfind('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

}  // namespace

int main(int argc, char** argv) {
    int lead = 1;
    int arg = 1;
    if (argc > 2 && std::string(argv[1]) == "--lead") {
        lead = std::atoi(argv[2]);
        arg = 3;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: vorela_follow_score [--lead N] CORPUS_DIR RESULTS_DIR\n");
        return 2;
    }
    const fs::path corpus = argv[arg];
    const fs::path results = argv[arg + 1];
    std::vector<fs::path> readings;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(corpus, ec)) {
        if (fs::exists(entry.path() / "truth.json")) readings.push_back(entry.path());
    }
    if (ec || readings.empty()) {
        std::fprintf(stderr, "vorela_follow_score: no readings in %s\n", corpus.c_str());
        return 2;
    }
    std::sort(readings.begin(), readings.end());

    FollowSummary summary;
    for (const fs::path& dir : readings) {
        const std::string name = dir.filename().string();
        std::string error;
        const auto truth = SpeechTruth::fromJson(readFile(dir / "truth.json"), error);
        if (!truth) {
            std::fprintf(stderr, "vorela_follow_score: %s: %s\n", name.c_str(), error.c_str());
            return 2;
        }
        const ScriptWords script(readFile(dir / "script.txt"));
        const FollowLog log = FollowLog::parse(readFile(results / (name + ".out")));
        const std::string status = readFile(results / (name + ".status"));
        FollowSummary::Run run;
        run.reading = name;
        run.set = truth->set;
        run.score = FollowScorer(script, *truth, lead).score(log.moves);
        run.failed = std::atoi(status.c_str()) != 0 || status.empty() || log.badLines > 0;
        run.runStats = lastLine(readFile(results / (name + ".err")));
        std::printf("%s\n", FollowSummary::jsonLine(run).c_str());
        summary.add(std::move(run));
    }
    std::printf("\n%s", summary.table().c_str());
    return 0;
}
