#include "Platform/Log/Log.h"

#include <syslog.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "Platform/Bundle/Bundle.h"

namespace vorela {

namespace {
std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<LogSink>& sinkSlot() {
    static std::shared_ptr<LogSink> slot = std::make_shared<SystemLogSink>();
    return slot;
}
const char* levelName(LogLevel level) {
    switch (level) {
        case LogLevel::debug:
            return "debug";
        case LogLevel::info:
            return "info";
        case LogLevel::notice:
            return "notice";
        case LogLevel::error:
            return "error";
        case LogLevel::fault:
            return "fault";
    }
    return "?";
}
int syslogPriority(LogLevel level) {
    switch (level) {
        case LogLevel::debug:
            return LOG_DEBUG;
        case LogLevel::info:
            return LOG_INFO;
        case LogLevel::notice:
            return LOG_NOTICE;
        case LogLevel::error:
            return LOG_ERR;
        case LogLevel::fault:
            return LOG_CRIT;
    }
    return LOG_INFO;
}
}  // namespace

std::shared_ptr<LogSink> Log::setSink(std::shared_ptr<LogSink> sink) {
    std::lock_guard lock(sinkMutex());
    return std::exchange(sinkSlot(), std::move(sink));
}

std::shared_ptr<LogSink> Log::sink() {
    std::lock_guard lock(sinkMutex());
    return sinkSlot();
}

void Log::write(LogLevel level, std::string_view message) const {
    if (auto s = sink()) s->write(level, category_, message);
}

SystemLogSink::SystemLogSink() : verbose_(std::getenv("VORELA_DEBUG_LOG") != nullptr) {
    openlog(Bundle::identifier(), LOG_PID, LOG_USER);
}

SystemLogSink::~SystemLogSink() { closelog(); }

void SystemLogSink::write(LogLevel level, std::string_view category, std::string_view message) {
    if (level >= LogLevel::notice || verbose_) {
        std::fprintf(stderr, "[%s:%.*s] %s: %.*s\n", Bundle::identifier(),
                     static_cast<int>(category.size()), category.data(), levelName(level),
                     static_cast<int>(message.size()), message.data());
    }
    if (level >= LogLevel::info) {
        syslog(syslogPriority(level), "[%.*s] %.*s", static_cast<int>(category.size()),
               category.data(), static_cast<int>(message.size()), message.data());
    }
}

}  // namespace vorela
