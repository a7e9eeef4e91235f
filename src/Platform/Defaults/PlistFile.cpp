#include "Platform/Defaults/PlistFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "Platform/Defaults/PlistXml.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Log/Log.h"

namespace vorela {

namespace {

const Log& log() {
    static const Log instance("prefs");
    return instance;
}

std::string parentFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// mkdir -p with owner-only permissions for the folders it creates.
bool makeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::string parent = parentFolder(folder);
    if (parent != folder && !makeFolders(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string errnoText() { return std::strerror(errno); }

}  // namespace

void PlistFile::removeStaleTemporaries() const {
    const std::string folder = parentFolder(path_);
    const std::string prefix = path_.substr(path_.rfind('/') + 1) + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(prefix, 0) != 0) continue;
        const std::string full = folder + "/" + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            now - st.st_mtime > kStaleTemporarySeconds) {
            ::unlink(full.c_str());
        }
    }
    ::closedir(dir);
}

std::optional<PlistDictionary> PlistFile::read(std::string& reason) const {
    // Without O_NONBLOCK a FIFO put in the file's place blocks open() until someone writes;
    // a regular file ignores the flag, and anything else is refused below.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return PlistDictionary{};
        reason = "no se pudo abrir: " + errnoText();
        return std::nullopt;
    }
    std::string text;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = "no es un archivo normal";
    } else if (st.st_size > kMaxFileBytes) {
        reason = format("ocupa %lld bytes, más de lo admitido", static_cast<long long>(st.st_size));
    } else {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                reason = "no se pudo leer: " + errnoText();
                break;
            }
            if (n == 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
            if (static_cast<long long>(text.size()) > kMaxFileBytes) {
                reason = "ocupa más de lo admitido";
                break;
            }
        }
    }
    ::close(fd);
    if (!reason.empty()) return std::nullopt;
    auto parsed = PlistXml::parse(text);
    for (const auto& line : parsed.dropped) {
        log().error("Archivo de preferencias «" + path_ + "»: " + line);
    }
    if (!parsed.object) {
        reason = parsed.error;
    } else if (!parsed.object->dictionary()) {
        reason = "el objeto principal no es un diccionario";
    } else {
        return *parsed.object->dictionary();
    }
    return std::nullopt;
}

PlistFile::Loaded PlistFile::load() const {
    removeStaleTemporaries();
    std::string reason;
    if (auto entries = read(reason)) return {std::move(*entries), true};
    return {{}, moveAside(reason).has_value()};
}

std::optional<PlistDictionary> PlistFile::reread() const {
    std::string reason;
    return read(reason);
}

std::optional<std::string> PlistFile::moveAside(const std::string& reason) const {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    const std::string stamp = format("%04d%02d%02dT%02d%02d%02dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                                     tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::string aside = path_ + ".corrupt-" + stamp;
    // Never replace an earlier copy moved aside in the same second.
    for (int n = 2; ::access(aside.c_str(), F_OK) == 0; ++n) {
        aside = path_ + ".corrupt-" + stamp + format("-%d", n);
    }
    if (::rename(path_.c_str(), aside.c_str()) != 0) {
        log().error("No se pudo leer el archivo de preferencias «" + path_ + "» (" + reason +
                    ") ni apartarlo (" + errnoText() +
                    "); se usan los valores predeterminados y no se guardarán cambios en él.");
        return std::nullopt;
    }
    log().error("No se pudo leer el archivo de preferencias «" + path_ + "» (" + reason +
                "); se ha apartado como «" + aside + "» y se usan los valores predeterminados.");
    return aside;
}

bool PlistFile::write(const PlistDictionary& entries) const {
    const std::string folder = parentFolder(path_);
    if (!makeFolders(folder)) {
        log().error("No se pudo crear la carpeta de preferencias «" + folder + "»: " + errnoText());
        return false;
    }
    const std::string text = PlistXml::write(PropertyList(entries));
    std::string temporary = path_ + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        log().error("No se pudo crear el archivo temporal de preferencias en «" + folder +
                    "»: " + errnoText());
        return false;
    }
    ::fchmod(fd, 0600);
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const std::string writeError = written ? std::string() : errnoText();
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        log().error("No se pudo guardar el archivo de preferencias «" + path_ +
                    "»: " + (written ? errnoText() : writeError));
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk, or a crash could bring the old name back.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace vorela
