#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorela {

enum class LogLevel { debug, info, notice, error, fault };

// Where log lines go. write() may be called from any thread at any time.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(LogLevel level, std::string_view category, std::string_view message) = 0;
};

// The system log: the application identifier is the subsystem, each component logs under
// a category of its own ("app", "library", "audio"...). Texts are Spanish; values are
// formatted with vorela::format so numbers look the same in every locale.
class Log {
public:
    explicit Log(std::string category) : category_(std::move(category)) {}

    void debug(std::string_view message) const { write(LogLevel::debug, message); }
    void info(std::string_view message) const { write(LogLevel::info, message); }
    void notice(std::string_view message) const { write(LogLevel::notice, message); }
    void error(std::string_view message) const { write(LogLevel::error, message); }
    void fault(std::string_view message) const { write(LogLevel::fault, message); }

    const std::string& category() const { return category_; }

    // Replaces the process-wide sink (the default writes to stderr and syslog).
    // Returns the previous one so tests can restore it.
    static std::shared_ptr<LogSink> setSink(std::shared_ptr<LogSink> sink);
    static std::shared_ptr<LogSink> sink();

private:
    void write(LogLevel level, std::string_view message) const;

    std::string category_;
};

// stderr for every level at notice and above (debug and info when VORELA_DEBUG_LOG is
// set), and syslog with the application identifier.
class SystemLogSink final : public LogSink {
public:
    SystemLogSink();
    ~SystemLogSink() override;
    SystemLogSink(const SystemLogSink&) = delete;
    SystemLogSink& operator=(const SystemLogSink&) = delete;
    void write(LogLevel level, std::string_view category, std::string_view message) override;

private:
    bool verbose_ = false;
};

}  // namespace vorela
