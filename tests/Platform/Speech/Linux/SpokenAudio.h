#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vorela::testing {

// Speech made at test time: espeak-ng reads a text, sox turns it into 16 kHz mono and
// mixes in pink noise (the same on every run) (a microphone's floor; the Spanish model, trained on
// real speech, needs it to hear synthetic voices fairly).
class SpokenAudio {
public:
    // Samples in -1...1; empty when the tools failed. `noiseVolume` 0 adds nothing.
    static std::vector<float> say(const std::string& text, const std::string& voice,
                                  double noiseVolume, int wordsPerMinute = 150) {
        char pattern[] = "/tmp/vorela-spoken-XXXXXX";
        const std::filesystem::path dir = mkdtemp(pattern);
        const auto textFile = dir / "text.txt";
        std::ofstream(textFile) << text;
        const std::string d = dir.string();
        std::string command = "espeak-ng -v " + voice + " -s " + std::to_string(wordsPerMinute) +
                              " -f " + textFile.string() + " -w " + d + "/raw.wav && sox " + d +
                              "/raw.wav -r 16000 -c 1 -b 16 " + d + "/clean.wav pad 0.3 0.8";
        if (noiseVolume > 0) {
            command += " && sox -R " + d + "/clean.wav " + d + "/noise.wav synth pinknoise vol " +
                       std::to_string(noiseVolume) + " && sox -m " + d + "/clean.wav " + d +
                       "/noise.wav " + d + "/mixed.wav";
        } else {
            command += " && cp " + d + "/clean.wav " + d + "/mixed.wav";
        }
        command += " && sox " + d + "/mixed.wav -t raw -e signed -b 16 " + d + "/out.raw";
        std::vector<float> samples;
        if (std::system(command.c_str()) == 0) {
            std::ifstream in(dir / "out.raw", std::ios::binary);
            std::int16_t s = 0;
            while (in.read(reinterpret_cast<char*>(&s), sizeof s)) samples.push_back(s / 32768.0f);
        }
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        return samples;
    }
};

}  // namespace vorela::testing
