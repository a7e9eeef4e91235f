#pragma once

#include "App/AppServices.h"

namespace vorela {

class RunLoop;
class SpeechAuthorization;

// The engine the application transcribes with: the newer analyser path on pocketsphinx,
// its decoder in a process of its own beside the program. The services must outlive
// every engine made.
MakeTranscriptionEngine makeTranscriptionEngineFactory(RunLoop& loop,
                                                       SpeechAuthorization& authorization,
                                                       MatcherTelemetry& telemetry);

}  // namespace vorela
