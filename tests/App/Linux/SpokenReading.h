#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Support/PulseServer.h"

namespace vorela::testing {

// A reading made at test time: each part is a sentence espeak-ng says or a silence, put
// end to end at 16 kHz with pink noise under all of it (a microphone's floor; the Spanish
// model, trained on real speech, hears synthetic voices fairly only with one). Where each
// sentence's voice starts and ends in the file is known exactly.
class SpokenReading {
public:
    struct Part {
        std::string text;  // empty: silence
        double silenceSeconds = 0;
    };
    struct Sentence {
        double start = 0, end = 0;  // seconds into the file
    };
    static constexpr double kRate = 16000;

    // Writes `wav`; nothing when espeak-ng or sox failed. The noise sits `snrDecibels`
    // below the speech's RMS and is the same on every run.
    static std::optional<std::vector<Sentence>> make(const std::vector<Part>& parts,
                                                     const std::string& voice, double snrDecibels,
                                                     const std::filesystem::path& wav) {
        std::vector<float> samples;
        std::vector<Sentence> sentences;
        double speechEnergy = 0;
        std::size_t speechSamples = 0;
        for (const auto& part : parts) {
            if (part.text.empty()) {
                samples.resize(samples.size() + std::size_t(part.silenceSeconds * kRate), 0);
                continue;
            }
            const auto said = say(part.text, voice, wav.parent_path());
            if (said.empty()) return std::nullopt;
            sentences.push_back({samples.size() / kRate, (samples.size() + said.size()) / kRate});
            for (float s : said) speechEnergy += double(s) * s;
            speechSamples += said.size();
            samples.insert(samples.end(), said.begin(), said.end());
        }
        addPinkNoise(samples,
                     std::sqrt(speechEnergy / double(std::max<std::size_t>(speechSamples, 1))) /
                         std::pow(10, snrDecibels / 20));
        writeWav(samples, wav);
        return sentences;
    }

private:
    // One sentence, 16 kHz mono, its leading and trailing silence cut.
    static std::vector<float> say(const std::string& text, const std::string& voice,
                                  const std::filesystem::path& dir) {
        const auto raw = (dir / "sentence.wav").string(), pcm = (dir / "sentence.raw").string();
        if (runProgram({"espeak-ng", "-v", voice, "-s", "150", "-w", raw, text}) != 0 ||
            runProgram({"sox", raw,       "-r",      "16000", "-c",   "1",       "-b",     "16",
                        "-e",  "signed",  "-t",      "raw",   pcm,    "silence", "1",      "0.02",
                        "1%",  "reverse", "silence", "1",     "0.02", "1%",      "reverse"}) != 0)
            return {};
        std::vector<float> samples;
        std::ifstream in(pcm, std::ios::binary);
        std::int16_t s = 0;
        while (in.read(reinterpret_cast<char*>(&s), sizeof s)) samples.push_back(s / 32768.0f);
        return samples;
    }

    // Voss-style pink noise (Paul Kellet's filter over white noise) scaled to `rms`.
    static void addPinkNoise(std::vector<float>& samples, double rms) {
        std::mt19937 random(20240607);
        std::vector<double> noise(samples.size());
        double b0 = 0, b1 = 0, b2 = 0, energy = 0;
        for (auto& n : noise) {
            const double white = double(random()) / double(std::mt19937::max()) * 2 - 1;
            b0 = 0.99765 * b0 + white * 0.0990460;
            b1 = 0.96300 * b1 + white * 0.2965164;
            b2 = 0.57000 * b2 + white * 1.0526913;
            n = b0 + b1 + b2 + white * 0.1848;
            energy += n * n;
        }
        const double gain =
            rms / std::sqrt(energy / double(std::max<std::size_t>(noise.size(), 1)));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = float(std::clamp(samples[i] + noise[i] * gain, -1.0, 1.0));
    }

    static void writeWav(const std::vector<float>& samples, const std::filesystem::path& path) {
        std::ofstream out(path, std::ios::binary);
        const auto put = [&](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) out.put(char((value >> (8 * i)) & 0xff));
        };
        const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
        out << "RIFF";
        put(36 + dataBytes, 4);
        out << "WAVEfmt ";
        put(16, 4), put(1, 2), put(1, 2), put(16000, 4), put(32000, 4), put(2, 2), put(16, 2);
        out << "data";
        put(dataBytes, 4);
        for (float s : samples) put(std::uint16_t(std::int16_t(std::lround(s * 32767))), 2);
    }
};

}  // namespace vorela::testing
