#include "Script/UnsavedTextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "Platform/Bundle/Bundle.h"
#include "Script/Script.h"

namespace vorela {

namespace {

constexpr std::string_view kPrefix = "Textos sin guardar ";
constexpr std::string_view kNewSuffix = " (nuevo).txt";

std::string localStamp(Date now) {
    const auto seconds = static_cast<std::time_t>(now.secondsSince1970);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H.%M.%S", &local);
    return text;
}

std::string heading() {
    return Bundle::localized(
        "Vorela no pudo guardar estos guiones en su biblioteca al cerrarse; su texto quedó "
        "aquí.\n");
}

std::string contents(const std::vector<std::shared_ptr<Script>>& scripts) {
    std::string text = heading();
    for (const auto& script : scripts) {
        text += "\n=== " + script->title() + " ===\n\n" + script->body() + "\n";
    }
    return text;
}

// The bytes written before a failure; all of them, synced, on success.
std::size_t writeAll(int descriptor, const std::string& text, bool& complete) {
    std::size_t done = 0;
    complete = false;
    while (done < text.size()) {
        const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return done;
        done += static_cast<std::size_t>(written);
    }
    complete = ::fsync(descriptor) == 0;
    return done;
}

}  // namespace

UnsavedTextFile::Written UnsavedTextFile::write(const std::filesystem::path& folder,
                                                const std::vector<std::shared_ptr<Script>>& scripts,
                                                Date now) {
    const std::string stamp = std::string(kPrefix) + localStamp(now);
    // Two ends within one second get two files.
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string name =
            stamp + (attempt == 1 ? "" : " " + std::to_string(attempt)) + std::string(kNewSuffix);
        const std::filesystem::path path = folder / name;
        const int descriptor =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor < 0 && errno == EEXIST) continue;
        if (descriptor < 0) return {{}, std::strerror(errno)};
        bool complete = false;
        const std::size_t written = writeAll(descriptor, contents(scripts), complete);
        const int error = errno;
        ::close(descriptor);
        if (complete) return {path, std::nullopt};
        // What fitted of a text is still the user's: the file stays, cut short, unless it
        // holds none of it.
        if (written > heading().size()) return {path, std::strerror(error)};
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return {{}, std::strerror(error)};
    }
    return {{}, std::strerror(EEXIST)};
}

std::vector<std::filesystem::path> UnsavedTextFile::takeNew(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kPrefix) && name.ends_with(kNewSuffix)) found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    for (auto& path : found) {
        std::string name = path.filename().string();
        name.replace(name.size() - kNewSuffix.size(), kNewSuffix.size(), ".txt");
        const std::filesystem::path named = folder / name;
        // A file that cannot be renamed is named again at the next start.
        if (!std::filesystem::exists(named, error)) {
            std::filesystem::rename(path, named, error);
            if (!error) path = named;
        }
    }
    return found;
}

}  // namespace vorela
