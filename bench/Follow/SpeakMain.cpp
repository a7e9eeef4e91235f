// vorela_speak: reads a script aloud with an espeak-ng voice and writes the reading's truth.
//   vorela_speak --script FILE.txt [--plan PLAN.txt] --voice NAME [--rate WPM] [--pitch 0-100]
//                [--lead-in SECONDS] [--set NAME] --wav OUT.wav --truth OUT.json
// The plan says what is spoken (see ReadingPlan.h); without one the script is read as written.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "EspeakReader.h"
#include "ReadingPlan.h"
#include "ScriptWords.h"
#include "WavFile.h"

using namespace vorela::follow;

namespace {

int usage(const std::string& why) {
    std::fprintf(stderr,
                 "vorela_speak: %s\nusage: vorela_speak --script FILE --voice NAME [--plan FILE] "
                 "[--rate WPM] [--pitch N] [--lead-in S] [--set NAME] --wav OUT --truth OUT\n",
                 why.c_str());
    return 2;
}

bool readFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> args = {
        {"--rate", "160"}, {"--pitch", "50"}, {"--lead-in", "0.5"}, {"--set", ""}, {"--plan", ""}};
    for (int i = 1; i < argc; i += 2) {
        const std::string key = argv[i];
        if (i + 1 >= argc || key.rfind("--", 0) != 0) return usage("bad argument " + key);
        args[key] = argv[i + 1];
    }
    for (const char* required : {"--script", "--voice", "--wav", "--truth"}) {
        if (args[required].empty()) return usage(std::string("missing ") + required);
    }

    std::string scriptText, planText;
    if (!readFile(args["--script"], scriptText)) return usage("cannot read " + args["--script"]);
    if (!args["--plan"].empty() && !readFile(args["--plan"], planText)) {
        return usage("cannot read " + args["--plan"]);
    }
    const ScriptWords script(scriptText);
    std::string error;
    const auto spoken = ReadingPlan::spokenWords(planText, script, error);
    if (!spoken) return usage("plan: " + error);

    EspeakReader::Voice voice{args["--voice"], std::atoi(args["--rate"].c_str()),
                              std::atoi(args["--pitch"].c_str())};
    const auto reading =
        EspeakReader::read(*spoken, voice, std::atof(args["--lead-in"].c_str()), error);
    if (!reading) return usage(error);
    if (reading->untimedWords > 0) {
        std::fprintf(stderr, "vorela_speak: %d spoken words got no word event\n",
                     reading->untimedWords);
    }

    SpeechTruth truth;
    truth.set = args["--set"];
    truth.voice = voice.name;
    truth.rateWpm = voice.rateWpm;
    truth.pitch = voice.pitch;
    truth.durationSeconds = static_cast<double>(reading->samples.size()) / reading->sampleRate;
    truth.words = reading->words;
    if (!WavFile::write(args["--wav"], reading->samples, reading->sampleRate)) {
        return usage("cannot write " + args["--wav"]);
    }
    std::ofstream out(args["--truth"], std::ios::trunc);
    out << truth.toJson();
    if (!out.flush()) return usage("cannot write " + args["--truth"]);
    return 0;
}
