#pragma once

#include <functional>

#include "Platform/Observation/AsyncStream.h"
#include "Shortcuts/EventType.h"

namespace vorela::Shortcuts {

// The empty value a repeating key-down stream yields.
struct KeyRepeat {
    bool operator==(const KeyRepeat&) const = default;
};

// Turns a stream of key events into one value per key-down, then, after the repeat delay,
// one value per repeat interval while the key is held. The timers run on the run loop;
// shouldContinueRepeating is asked before each repeat and stops the repeating on false.
// A key-up or a second key-down (which starts the delay again) cancels the timer; the end
// of the source finishes the stream; ending the output ends the source. Keeps only the
// newest value its consumer has not taken.
AsyncStream<KeyRepeat> makeRepeatingKeyDownEvents(RunLoop& loop, AsyncStream<EventType> source,
                                                  double repeatDelay, double repeatInterval,
                                                  std::function<void()> didReceiveKeyDown,
                                                  std::function<bool()> shouldContinueRepeating);

}  // namespace vorela::Shortcuts
