#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Log/Log.h"

namespace vorela::testing {

// Keeps every log line for assertions. Thread-safe: the audio and queue threads log too.
class RecordingLogSink final : public LogSink {
public:
    struct Record {
        LogLevel level = LogLevel::info;
        std::string category;
        std::string message;
    };

    void write(LogLevel level, std::string_view category, std::string_view message) override {
        std::lock_guard lock(mutex_);
        records_.push_back({level, std::string(category), std::string(message)});
    }

    std::vector<Record> records() const {
        std::lock_guard lock(mutex_);
        return records_;
    }
    // "category: message", oldest first.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const auto& r : records()) out.push_back(r.category + ": " + r.message);
        return out;
    }
    // The messages of one category, oldest first.
    std::vector<std::string> messages(std::string_view category) const {
        std::vector<std::string> out;
        for (const auto& r : records()) {
            if (r.category == category) out.push_back(r.message);
        }
        return out;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        records_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<Record> records_;
};

}  // namespace vorela::testing
