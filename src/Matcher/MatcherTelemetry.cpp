#include "Matcher/MatcherTelemetry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <system_error>

#include "Platform/Bundle/Bundle.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Foundation/Format.h"

namespace vorela {
namespace {

constexpr const char* kFlagKey = "debugTelemetry";
constexpr const char* kFileName = "telemetry.jsonl";

std::optional<std::filesystem::path> absoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    std::filesystem::path path(value);
    if (!path.is_absolute()) return std::nullopt;  // relative XDG paths are to be ignored
    return path;
}

bool isOn() {
    const auto defaults = UserDefaults::standard();
    return defaults && defaults->boolean(kFlagKey).value_or(false);
}

}  // namespace

MatcherTelemetry& MatcherTelemetry::shared() {
    // Never destroyed: recogniser threads may still log while the process exits.
    static MatcherTelemetry* instance = new MatcherTelemetry(defaultFolder());
    return *instance;
}

std::optional<std::filesystem::path> MatcherTelemetry::defaultFolder() {
    auto base = absoluteFromEnv("XDG_DATA_HOME");
    if (!base) {
        const auto home = absoluteFromEnv("HOME");
        if (!home) return std::nullopt;
        base = *home / ".local" / "share";
    }
    return *base / Bundle::identifier();
}

MatcherTelemetry::MatcherTelemetry(std::optional<std::filesystem::path> folder, const Clock& clock)
    : folder_(std::move(folder)),
      clock_(clock),
      queue_(std::string(Bundle::identifier()) + ".telemetry") {}

MatcherTelemetry::~MatcherTelemetry() = default;

std::optional<std::filesystem::path> MatcherTelemetry::fileURL() {
    std::call_once(locationOnce_, [this] {
        if (!folder_) return;
        std::error_code ignored;
        std::filesystem::create_directories(*folder_, ignored);
        fileURL_ = *folder_ / kFileName;
    });
    return fileURL_;
}

void MatcherTelemetry::log(std::string_view event, Fields fields) {
    if (!isOn()) return;
    if (!fileURL()) return;
    fields["event"] = std::string(event);
    fields["t"] = format("%.3f", clock_.uptime());
    const std::uint64_t generation = generation_.load();
    queue_.async([this, record = std::move(fields), generation] { append(record, generation); });
}

void MatcherTelemetry::append(const Fields& record, std::uint64_t generation) {
    std::string line;
    try {
        line = nlohmann::json(record).dump();
    } catch (const nlohmann::json::exception&) {
        return;  // a value that is not valid UTF-8 cannot be written as JSON: drop it
    }
    line += '\n';

    std::lock_guard guard(lock_);
    if (generation != generation_.load()) return;  // logged before a clear()
    // Created when missing, readable by its owner only (it holds what the user read aloud);
    // every write goes to the end, never truncated.
    const int file = ::open(fileURL_->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0) return;
    for (std::size_t written = 0; written < line.size();) {
        const ssize_t wrote = ::write(file, line.data() + written, line.size() - written);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) break;
        written += static_cast<std::size_t>(wrote);
    }
    ::close(file);
}

void MatcherTelemetry::clear() {
    const auto location = fileURL();
    if (!location) return;
    std::lock_guard guard(lock_);
    generation_.fetch_add(1);
    std::error_code ignored;
    std::filesystem::remove(*location, ignored);
}

}  // namespace vorela
