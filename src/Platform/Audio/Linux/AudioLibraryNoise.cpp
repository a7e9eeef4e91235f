#include "Platform/Audio/Linux/AudioLibraryNoise.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Platform/Log/Log.h"

namespace vorela {
namespace {

const Log& audioLog() {
    static const Log log("audio");
    return log;
}

void alsaMessage(const char* file, int line, const char* function, int error, const char* fmt,
                 ...) {
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    std::string message = std::string("ALSA lib ") + file + ":" + std::to_string(line) + ":(" +
                          function + ") " + text;
    if (error) message += std::string(": ") + snd_strerror(error);
    audioLog().debug(message);
}

void jackMessage(const char* text) { audioLog().debug(std::string("JACK: ") + text); }

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

AudioLibraryNoise::AudioLibraryNoise() {
    std::fflush(stderr);
    held_ = memfd_create("vorela-stderr", MFD_CLOEXEC);
    saved_ = held_ < 0 ? -1 : ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(held_, STDERR_FILENO) < 0) {
        if (held_ >= 0) ::close(held_);
        if (saved_ >= 0) ::close(saved_);
        held_ = saved_ = -1;  // nothing held: output goes where it always went
    }
}

AudioLibraryNoise::~AudioLibraryNoise() {
    if (held_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    std::string text;
    char chunk[4096];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(held_, chunk, sizeof chunk, offset);
        if (n <= 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
        offset += n;
    }
    ::close(held_);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string_view line(text.data() + start, end - start);
        if (isLibraryLine(line)) {
            audioLog().debug(line.substr(0, line.find_last_not_of('\n') + 1));
        } else {
            writeAll(STDERR_FILENO, line);
        }
        start = end;
    }
}

bool AudioLibraryNoise::isLibraryLine(std::string_view line) {
    for (std::string_view prefix : {"Expression '", "ALSA lib ", "Cannot connect to server",
                                    "jack server is not running", "JackShmReadWritePtr"}) {
        if (line.starts_with(prefix)) return true;
    }
    return false;
}

void AudioLibraryNoise::routeLibraryHandlers() {
    static const bool done = [] {
        snd_lib_error_set_handler(alsaMessage);
        // ALSA's JACK plugin loads libjack while PortAudio probes; loading it first (where
        // it exists at all) hands it our handlers, which the plugin's copy then shares.
        if (void* jack = dlopen("libjack.so.0", RTLD_LAZY | RTLD_GLOBAL)) {
            using SetHandler = void (*)(void (*)(const char*));
            for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
                if (auto set = reinterpret_cast<SetHandler>(dlsym(jack, name))) set(jackMessage);
            }
        }
        return true;
    }();
    (void)done;
}

}  // namespace vorela
