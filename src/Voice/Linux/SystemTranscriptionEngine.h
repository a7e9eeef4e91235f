#pragma once

#include <filesystem>
#include <memory>

#include "Platform/Speech/Linux/PocketSphinxAnalyzer.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {

class MatcherTelemetry;
class RunLoop;

// The decoder program this installation runs: the one beside the running program (an
// installed application or a build's bin folder), else the install prefix's, else the
// one this build made. Empty when none exists.
std::filesystem::path systemDecoderProgram();

// The analyser as the application runs it: the decoder above, the models of this
// installation, Spanish texts for a missing model.
PocketSphinxAnalyzer::Config systemAnalyzerConfig();

// What the application hands the central state to make its transcription engines: the
// newer engine on pocketsphinx. Every engine it makes shares one analyser, so the
// decoder process and its normalisation to the microphone outlive a restart; pass one to
// steer or measure it. The loop and the telemetry must outlive the engines.
MakeTranscriptionEngine makeSystemTranscriptionEngine(
    RunLoop& loop, MatcherTelemetry& telemetry,
    std::shared_ptr<PocketSphinxAnalyzer> analyzer = nullptr);

}  // namespace vorela
