// vorela_follow --script FILE.txt --audio FILE.wav --locale es-ES|en-US
// Replays a reading through the central state in word tracking, with the real decoder,
// on a virtual clock that moves only as the decoder consumes audio (a decoder slower than
// the audio makes its decisions later). Prints {"t": seconds, "start": byte offset} each
// time the current word changes; the last line on standard error gives the real-time
// factor and the peak memory of this process and of the decoder process. The audio is read
// block by block, so a long reading costs no more memory than a short one.
// Knobs for tuning: VORELA_DECODER_OPTIONS, VORELA_GARBAGE_WEIGHT, VORELA_SETTLE and
// VORELA_PAUSE (seconds), VORELA_FOLLOW_TELEMETRY.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <string>

#include "App/AppState.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/Fake/FakeAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "Prefs/Prefs.h"
#include "Replay/WavReader.h"
#include "Support/FakeTextSurface.h"
#include "Voice/Linux/SystemTranscriptionEngine.h"

using namespace vorela;

namespace {

constexpr std::uint32_t kBufferFrames = 1024;

// A decoder that has not consumed a block in this long is stuck, not slow.
constexpr double kDecoderStallSeconds = 30;

int usage() {
    std::cerr << "usage: vorela_follow --script FILE.txt --audio FILE.wav --locale es-ES|en-US\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scriptPath, audioPath, locale;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--script")
            scriptPath = argv[i + 1];
        else if (flag == "--audio")
            audioPath = argv[i + 1];
        else if (flag == "--locale")
            locale = argv[i + 1];
        else
            return usage();
    }
    const auto parsedLocale = fromRawValue(std::type_identity<TranscriptionLocale>(), locale);
    if (scriptPath.empty() || audioPath.empty() || !parsedLocale) return usage();
    std::ifstream scriptFile(scriptPath, std::ios::binary);
    if (!scriptFile) {
        std::cerr << "vorela_follow: cannot read " << scriptPath << "\n";
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(scriptFile)), {});
    std::string error;
    auto wav = bench::WavReader::open(audioPath, error);
    if (!wav) {
        std::cerr << "vorela_follow: " << audioPath << ": " << error << "\n";
        return 1;
    }

    const auto wallStart = std::chrono::steady_clock::now();
    auto defaults = UserDefaults::inMemory();
    UserDefaults::setStandard(defaults);
    Prefs::set(Prefs::Keys::transcriptionLocale(), *parsedLocale);

    ManualRunLoop loop;
    const double origin = loop.uptime();
    // VORELA_FOLLOW_TELEMETRY names a folder for the matcher's diagnostic log (what was
    // heard, where the cursor went), on the replay's own clock.
    std::optional<std::filesystem::path> telemetryFolder;
    if (const char* folder = std::getenv("VORELA_FOLLOW_TELEMETRY"); folder && *folder) {
        telemetryFolder = folder;
        defaults->set("debugTelemetry", PropertyList(true));
    }
    MatcherTelemetry telemetry(telemetryFolder, loop.clock());
    FakeAccessibilitySettings accessibility;
    auto audio = std::make_shared<FakeAudioEngine>(loop);
    audio->setInputFormat(wav->format());
    auto workspace = std::make_shared<NotificationCenter>(loop);
    FakeUpdateFramework updates(loop);
    FakePasteboard pasteboard;

    // Decoder time: a block is decoded once it has arrived and the decoder is free.
    std::mutex clockMutex;
    double decoderClock = 0, decoderBusy = 0, pendingBusy = 0;
    PocketSphinxAnalyzer::Config config = systemAnalyzerConfig();
    if (const char* options = std::getenv("VORELA_DECODER_OPTIONS"))
        config.decoderOptions = options;
    if (const char* garbage = std::getenv("VORELA_GARBAGE_WEIGHT"))
        config.garbageWeight = std::atof(garbage);
    if (const char* settle = std::getenv("VORELA_SETTLE"))
        config.stabilizing.settleSeconds = std::atof(settle);
    if (const char* pause = std::getenv("VORELA_PAUSE"))
        config.stabilizing.pauseSeconds = std::atof(pause);
    auto analyzer = std::make_shared<PocketSphinxAnalyzer>(config);
    analyzer->setProgressObserver([&](double, double busy) {
        std::lock_guard guard(clockMutex);
        pendingBusy += busy;
        decoderBusy += busy;
    });

    {
        AppState state(AppServices{
            .runLoop = loop,
            .accessibility = accessibility,
            .audioEngine = audio,
            .workspaceCenter = workspace,
            .updateFramework = updates,
            .pasteboard = pasteboard,
            .makeTranscriptionEngine = makeSystemTranscriptionEngine(loop, telemetry, analyzer),
            .telemetry = telemetry,
            .updateInfo = [](std::string_view) { return std::optional<std::string>(); },
        });
        state.load(text, "vorela_follow");
        auto surface = std::make_shared<FakeTextSurface>();
        surface->layOut(static_cast<long>(state.tokens.get().size()), 20);
        state.attach(surface);
        surface->fire(loop.uptime() - origin);
        state.setMode(PrompterMode::wordTracking);
        state.play();
        loop.runUntilIdle();
        if (state.transcriptionProblem.get()) {
            std::cerr << "vorela_follow: " << *state.transcriptionProblem.get() << "\n";
            return 1;
        }

        const auto& tokens = *state.tokens.get();
        long current = state.currentTokenIndex.get();
        std::uint64_t at = 0;
        while (const auto buffer = wav->next(kBufferFrames)) {
            audio->pushBuffer(buffer);
            const bool isDecoded = analyzer->waitUntilDecoded(kDecoderStallSeconds);
            if (const auto failure = analyzer->modelFailure()) {
                std::cerr << "vorela_follow: the decoder refused its model: " << *failure
                          << " (VORELA_DECODER_OPTIONS: \"" << config.decoderOptions << "\")\n";
                return 1;
            }
            if (!isDecoded) {
                std::cerr << "vorela_follow: the decoder consumed nothing for "
                          << kDecoderStallSeconds << " s\n";
                return 1;
            }
            at += buffer->frameLength();
            const double arrived = at / wav->format().sampleRate;
            {
                std::lock_guard guard(clockMutex);
                decoderClock = std::max(decoderClock, arrived) + pendingBusy;
                pendingBusy = 0;
            }
            const double target = origin + decoderClock;
            if (target > loop.uptime()) loop.advanceBy(target - loop.uptime());
            loop.runUntilIdle();
            surface->fire(loop.uptime() - origin);
            loop.runUntilIdle();
            if (state.currentTokenIndex.get() != current && !tokens.empty()) {
                current = state.currentTokenIndex.get();
                const auto index =
                    static_cast<std::size_t>(std::min<long>(current, long(tokens.size()) - 1));
                std::printf("{\"t\": %s, \"start\": %zu}\n", format("%.3f", decoderClock).c_str(),
                            std::size_t{tokens[index].range.begin});
            }
        }
        state.setMode(PrompterMode::manual);
        loop.runUntilIdle();
    }
    const auto decoderPeakKB = analyzer->decoderPeakMemoryKB();  // while the decoder lives
    analyzer.reset();
    const double audioSeconds = wav->frames() / wav->format().sampleRate;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    // The decoder's own time per second of audio is the real-time factor on one core.
    std::fprintf(
        stderr,
        "{\"rtf\": %s, \"wallRtf\": %s, \"peakMemoryMB\": %s, \"decoderPeakMemoryMB\": %s}\n",
        format("%.4f", audioSeconds > 0 ? decoderBusy / audioSeconds : 0).c_str(),
        format("%.4f", audioSeconds > 0 ? wall / audioSeconds : 0).c_str(),
        format("%.1f", self.ru_maxrss / 1024.0).c_str(),
        format("%.1f", decoderPeakKB.value_or(0) / 1024.0).c_str());
    return 0;
}
