#pragma once

#include <string_view>

namespace vorela {

// PortAudio's ALSA host prints every failed call while it probes devices straight to
// stderr, with no hook to redirect it; ALSA and JACK print through handlers of their own.
// While one of these lives, what the process writes to stderr is held aside; when it
// ends, the audio libraries' lines go to the "audio" log at debug level and any other
// line to stderr as it was. Main thread; keep the scope to the library call.
class AudioLibraryNoise {
public:
    AudioLibraryNoise();
    ~AudioLibraryNoise();
    AudioLibraryNoise(const AudioLibraryNoise&) = delete;
    AudioLibraryNoise& operator=(const AudioLibraryNoise&) = delete;
    AudioLibraryNoise(AudioLibraryNoise&&) = delete;
    AudioLibraryNoise& operator=(AudioLibraryNoise&&) = delete;

    // Whether a line of stderr output comes from the audio libraries.
    static bool isLibraryLine(std::string_view line);
    // Installs ALSA's and JACK's handlers, which send their messages to the debug log.
    static void routeLibraryHandlers();

private:
    int held_ = -1;   // a memory file standing in for stderr
    int saved_ = -1;  // the real stderr
};

}  // namespace vorela
