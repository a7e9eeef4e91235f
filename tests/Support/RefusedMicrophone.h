#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

namespace vorela::testing {

// An ALSA configuration whose default capture device the system refuses to open, as it
// refuses a sound device to a user without the rights to it. While one is installed
// (ALSA_CONFIG_PATH, read by this process and inherited by the programs it starts), ALSA
// answers EACCES when anything opens the default device for capture; playback goes to the
// null device. The device is a file that refuses reading: a private file without
// permissions where modes count, and where they do not (tests run as root), a write-only
// kernel attribute, which the kernel refuses to read to anyone. It is only ever opened for
// reading, so nothing is written to it.
class RefusedMicrophone final {
public:
    RefusedMicrophone() {
        std::string pattern = std::filesystem::temp_directory_path() / "vorela-refused-XXXXXX";
        if (!mkdtemp(pattern.data())) return;
        root_ = pattern;
        const auto device = refusingFile();
        if (!device || !std::filesystem::exists(kSystemConfig)) return;
        std::ofstream(root_ / "refused.conf")
            << "pcm.!default { type asym playback.pcm \"null\" capture.pcm { type oss device \""
            << device->string() << "\" } }\n";
        if (const char* previous = getenv("ALSA_CONFIG_PATH")) previous_ = previous;
        const std::string path =
            std::string(kSystemConfig) + ":" + (root_ / "refused.conf").string();
        setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
        isInstalled_ = true;
    }
    ~RefusedMicrophone() {
        if (isInstalled_) {
            if (previous_)
                setenv("ALSA_CONFIG_PATH", previous_->c_str(), 1);
            else
                unsetenv("ALSA_CONFIG_PATH");
        }
        std::error_code ignored;
        if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
    }
    RefusedMicrophone(const RefusedMicrophone&) = delete;
    RefusedMicrophone& operator=(const RefusedMicrophone&) = delete;
    RefusedMicrophone(RefusedMicrophone&&) = delete;
    RefusedMicrophone& operator=(RefusedMicrophone&&) = delete;

    // False where no file refuses reading here: the test cannot run.
    bool isInstalled() const { return isInstalled_; }

private:
    static constexpr const char* kSystemConfig = "/usr/share/alsa/alsa.conf";

    static bool refusesReading(const std::filesystem::path& file) {
        const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
        return fd < 0 && errno == EACCES;
    }

    std::optional<std::filesystem::path> refusingFile() const {
        const auto own = root_ / "dsp";
        std::ofstream{own};
        std::filesystem::permissions(own, std::filesystem::perms::none);
        if (refusesReading(own)) return own;
        for (const char* attribute : {"/sys/bus/cpu/drivers_probe", "/sys/bus/pci/drivers_probe",
                                      "/sys/bus/platform/drivers_probe"})
            if (refusesReading(attribute)) return std::filesystem::path(attribute);
        return std::nullopt;
    }

    std::filesystem::path root_;
    std::optional<std::string> previous_;
    bool isInstalled_ = false;
};

}  // namespace vorela::testing
