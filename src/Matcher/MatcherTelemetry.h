#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Loop/SerialQueue.h"
#include "Platform/Time/Clock.h"

namespace vorela {

// The optional diagnostic log of the voice pipeline: one JSON object per line in
// telemetry.jsonl, every value a text, with the keys "event" and "t" (uptime, "%.3f").
// Writes only while the user-defaults Boolean "debugTelemetry" is on; never rotated;
// nothing leaves the machine and nothing is ever reported to the caller.
//
// log() may be called from any thread and returns at once: the flag, the location and
// the time are read on the calling thread, the file is appended to on a serial queue of
// its own. The file is opened for appending and created when missing, never truncated.
class MatcherTelemetry {
public:
    using Fields = std::map<std::string, std::string>;

    // The application's instance, writing under defaultFolder().
    static MatcherTelemetry& shared();
    // $XDG_DATA_HOME/app.vorela.Vorela (else ~/.local/share/app.vorela.Vorela); nothing
    // when neither variable gives an absolute folder.
    static std::optional<std::filesystem::path> defaultFolder();

    // `folder` holds the log; it is created the first time the location is worked out.
    // Without a folder every record is dropped.
    explicit MatcherTelemetry(std::optional<std::filesystem::path> folder,
                              const Clock& clock = SystemClock::shared());
    ~MatcherTelemetry();
    MatcherTelemetry(const MatcherTelemetry&) = delete;
    MatcherTelemetry& operator=(const MatcherTelemetry&) = delete;
    MatcherTelemetry(MatcherTelemetry&&) = delete;
    MatcherTelemetry& operator=(MatcherTelemetry&&) = delete;

    // One record when the flag is on; "event" and "t" replace caller fields of that name.
    void log(std::string_view event, Fields fields = {});
    // Deletes the log file now, on the calling thread. Records logged before the call
    // and not yet written are dropped, so the next record starts a file of its own.
    void clear();
    // The log file's location, worked out (and its folder created) once.
    std::optional<std::filesystem::path> fileURL();
    // Blocks until every record handed over so far has been written (or dropped).
    void waitUntilIdle() { queue_.waitUntilIdle(); }

private:
    void append(const Fields& record, std::uint64_t generation);

    std::optional<std::filesystem::path> folder_;
    const Clock& clock_;
    std::once_flag locationOnce_;
    std::optional<std::filesystem::path> fileURL_;
    std::mutex lock_;  // held while the file is opened and appended to, and by clear()
    std::atomic<std::uint64_t> generation_{0};  // bumped by clear()
    SerialQueue queue_;  // last: drains before the fields its tasks use go away
};

}  // namespace vorela
